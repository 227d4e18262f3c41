#include "platform/gdata/GDataEndpoints.h"

#include "platform/system/Settings.h"

#include <QMutex>
#include <QUrlQuery>

namespace tavrel {

const QString GDataEndpoints::kDefaultServiceURL = QStringLiteral("http://127.0.0.1:8088");
const QString GDataEndpoints::kServiceURLSettingKey = QStringLiteral("serviceURL");
const QString GDataEndpoints::kServiceURLEnvironment = QStringLiteral("TAVREL_SERVICE_URL");
const QString GDataEndpoints::kServiceCommandLineOption = QStringLiteral("--service");

namespace {
QMutex gMutex;
QUrl gExplicitBase;

QUrl cleanBase(QUrl url)
{
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path);
    return url;
}
} // namespace

namespace {
// A relative text such as "not a url" parses as a valid URL: insist on a scheme and a host.
bool isUsableBase(const QUrl& url)
{
    return url.isValid() && !url.scheme().isEmpty() && !url.host().isEmpty();
}
} // namespace

QUrl GDataEndpoints::serviceBaseURL()
{
    {
        QMutexLocker lock(&gMutex);
        if (gExplicitBase.isValid() && !gExplicitBase.isEmpty())
            return gExplicitBase;
    }
    const QString environment = qEnvironmentVariable(kServiceURLEnvironment.toUtf8().constData());
    if (!environment.isEmpty()) {
        const QUrl url(environment);
        if (isUsableBase(url))
            return cleanBase(url);
    }
    const QString setting = Settings::stringValue(kServiceURLSettingKey);
    if (!setting.isEmpty()) {
        const QUrl url(setting);
        if (isUsableBase(url))
            return cleanBase(url);
    }
    return QUrl(kDefaultServiceURL);
}

void GDataEndpoints::setServiceBaseURL(const QUrl& url)
{
    QMutexLocker lock(&gMutex);
    gExplicitBase = url.isEmpty() ? QUrl() : cleanBase(url);
}

bool GDataEndpoints::configureFromArguments(const QStringList& arguments)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        QString value;
        if (argument == kServiceCommandLineOption && i + 1 < arguments.size())
            value = arguments.at(i + 1);
        else if (argument.startsWith(kServiceCommandLineOption + QLatin1Char('=')))
            value = argument.mid(kServiceCommandLineOption.size() + 1);
        else
            continue;
        const QUrl url(value);
        if (url.isValid() && !url.scheme().isEmpty()) {
            setServiceBaseURL(url);
            return true;
        }
    }
    return false;
}

QString GDataEndpoints::encodedPathComponent(const QString& component)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(component));
}

QUrl GDataEndpoints::appendingPathComponents(const QUrl& base, const QStringList& components)
{
    QString path = base.path(QUrl::FullyEncoded);
    for (const QString& component : components) {
        if (component.isEmpty())
            continue;
        if (!path.endsWith(QLatin1Char('/')))
            path += QLatin1Char('/');
        path += encodedPathComponent(component);
    }
    QUrl url = base;
    url.setPath(path, QUrl::StrictMode);
    return url;
}

namespace {
QUrl baseWithPath(const QString& path)
{
    QUrl url = GDataEndpoints::serviceBaseURL();
    url.setPath(url.path() + path);
    return url;
}
} // namespace

QUrl GDataEndpoints::docsURL(const QString& userID, const QString& visibility, const QString& projection,
                             const QString& resourceID, const QString& feedType, const QString& revisionID)
{
    QStringList components{userID, visibility, projection};
    if (!resourceID.isEmpty()) {
        components << resourceID;
        if (!feedType.isEmpty()) {
            components << feedType;
            if (!revisionID.isEmpty())
                components << revisionID;
        }
    }
    return appendingPathComponents(baseWithPath(QStringLiteral("/feeds")), components);
}

QUrl GDataEndpoints::docsFeedURL()
{
    return docsURL(QStringLiteral("default"), QStringLiteral("private"), QStringLiteral("full"));
}

QUrl GDataEndpoints::docsExpandACLFeedURL()
{
    return docsURL(QStringLiteral("default"), QStringLiteral("private"), QStringLiteral("expandAcl"));
}

QUrl GDataEndpoints::docsEntryURL(const QString& resourceID, const QString& projection)
{
    return docsURL(QStringLiteral("default"), QStringLiteral("private"), projection, resourceID);
}

QUrl GDataEndpoints::docsACLFeedURL(const QString& resourceID)
{
    return docsURL(QStringLiteral("default"), QStringLiteral("private"), QStringLiteral("full"), resourceID,
                   QStringLiteral("acl"));
}

QUrl GDataEndpoints::docsFolderContentsURL(const QString& folderResourceID)
{
    return docsURL(QStringLiteral("default"), QStringLiteral("private"), QStringLiteral("full"),
                   folderResourceID, QStringLiteral("contents"));
}

QUrl GDataEndpoints::docsBatchURL()
{
    return appendingPathComponents(docsFeedURL(), {QStringLiteral("batch")});
}

QUrl GDataEndpoints::docsChangesFeedURL(const QString& userID)
{
    return appendingPathComponents(baseWithPath(QStringLiteral("/feeds")),
                                   {userID, QStringLiteral("private"), QStringLiteral("changes")});
}

QUrl GDataEndpoints::docsMetadataEntryURL(const QString& userID)
{
    return appendingPathComponents(baseWithPath(QStringLiteral("/feeds/metadata")), {userID});
}

QUrl GDataEndpoints::docsUploadURL(const QString& projection)
{
    return appendingPathComponents(baseWithPath(QStringLiteral("/feeds/upload/create-session")),
                                   {QStringLiteral("default"), QStringLiteral("private"), projection});
}

QUrl GDataEndpoints::docsExportURL(const QString& resourceID, const QString& exportFormat)
{
    const int colon = resourceID.indexOf(QLatin1Char(':'));
    const QString kind = colon < 0 ? QString() : resourceID.left(colon);
    const QString id = resourceID.mid(colon + 1);
    QString path;
    QString key = QStringLiteral("id");
    if (kind == QLatin1String("document"))
        path = QStringLiteral("/feeds/download/documents/export/Export");
    else if (kind == QLatin1String("spreadsheet"))
        path = QStringLiteral("/feeds/download/spreadsheets/Export"), key = QStringLiteral("key");
    else if (kind == QLatin1String("presentation"))
        path = QStringLiteral("/feeds/download/presentations/Export");
    else if (kind == QLatin1String("drawing"))
        path = QStringLiteral("/feeds/download/drawings/Export");
    else
        path = QStringLiteral("/feeds/download/files/Export");
    QUrl url = baseWithPath(path);
    QUrlQuery query;
    query.addQueryItem(key, QString::fromLatin1(QUrl::toPercentEncoding(id)));
    if (!exportFormat.isEmpty())
        query.addQueryItem(QStringLiteral("exportFormat"),
                           QString::fromLatin1(QUrl::toPercentEncoding(exportFormat)));
    url.setQuery(query);
    return url;
}

QUrl GDataEndpoints::contactFeedURL(const QString& userID)
{
    return appendingPathComponents(baseWithPath(QStringLiteral("/m8/feeds/contacts")),
                                   {userID, QStringLiteral("full")});
}

QUrl GDataEndpoints::contactBatchURL(const QString& userID)
{
    return appendingPathComponents(contactFeedURL(userID), {QStringLiteral("batch")});
}

QUrl GDataEndpoints::contactPhotoURL(const QString& contactID, const QString& userID)
{
    return appendingPathComponents(baseWithPath(QStringLiteral("/m8/feeds/photos/media")),
                                   {userID, contactID});
}

QUrl GDataEndpoints::OAuthAuthorizationURL()
{
    return baseWithPath(QStringLiteral("/o/oauth2/auth"));
}

QUrl GDataEndpoints::OAuthTokenURL()
{
    return baseWithPath(QStringLiteral("/o/oauth2/token"));
}

QUrl GDataEndpoints::OAuthUserInfoURL()
{
    return baseWithPath(QStringLiteral("/oauth2/v1/userinfo"));
}

} // namespace tavrel
