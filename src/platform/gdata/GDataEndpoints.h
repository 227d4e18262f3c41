#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace tavrel {

// Every address of the service, built from one base URL. The base is, in this order: one set with
// setServiceBaseURL() (the program sets it from its command line, `--service URL`), the environment
// variable TAVREL_SERVICE_URL, the setting `serviceURL`, and kDefaultServiceURL. Thread-safe.
class GDataEndpoints
{
public:
    static const QString kDefaultServiceURL;        // "http://127.0.0.1:8088"
    static const QString kServiceURLSettingKey;     // "serviceURL"
    static const QString kServiceURLEnvironment;    // "TAVREL_SERVICE_URL"
    static const QString kServiceCommandLineOption; // "--service"

    static QUrl serviceBaseURL();
    // An explicit base (an empty URL clears it, so the environment and setting apply again).
    static void setServiceBaseURL(const QUrl& url);
    // Takes `--service URL` or `--service=URL` from the program's arguments; answers whether it was there.
    static bool configureFromArguments(const QStringList& arguments);

    // Documents list:
    // <base>/feeds/<user>/<visibility>/<projection>[/<resourceID>[/<feedType>[/<revisionID>]]].
    static QUrl docsURL(const QString& userID, const QString& visibility, const QString& projection,
                        const QString& resourceID = {}, const QString& feedType = {},
                        const QString& revisionID = {});
    static QUrl docsFeedURL();          // /feeds/default/private/full
    static QUrl docsExpandACLFeedURL(); // /feeds/default/private/expandAcl
    static QUrl docsEntryURL(const QString& resourceID, const QString& projection = QStringLiteral("full"));
    static QUrl docsACLFeedURL(const QString& resourceID); // /feeds/default/private/full/<id>/acl
    static QUrl docsFolderContentsURL(const QString& folderResourceID);
    static QUrl docsBatchURL(); // /feeds/default/private/full/batch
    static QUrl docsChangesFeedURL(const QString& userID = QStringLiteral("default"));
    static QUrl docsMetadataEntryURL(const QString& userID = QStringLiteral("default"));
    // Resumable uploads: /feeds/upload/create-session/default/private/<projection>.
    static QUrl docsUploadURL(const QString& projection = QStringLiteral("full"));
    // Export of a native document in a format: /feeds/download/<kind>s/Export?id=<id>&exportFormat=<format>.
    static QUrl docsExportURL(const QString& resourceID, const QString& exportFormat);

    // Contacts: /m8/feeds/contacts/<user>/full and photos /m8/feeds/photos/media/<user>/<contactID>.
    static QUrl contactFeedURL(const QString& userID = QStringLiteral("default"));
    static QUrl contactBatchURL(const QString& userID = QStringLiteral("default"));
    static QUrl contactPhotoURL(const QString& contactID, const QString& userID = QStringLiteral("default"));

    // OAuth 2.
    static QUrl OAuthAuthorizationURL(); // /o/oauth2/auth
    static QUrl OAuthTokenURL();         // /o/oauth2/token
    static QUrl OAuthUserInfoURL();      // /oauth2/v1/userinfo

    // A path segment as the service writes it: ':' and other reserved characters percent-encoded.
    static QString encodedPathComponent(const QString& component);
    // `base` with encoded path components appended.
    static QUrl appendingPathComponents(const QUrl& base, const QStringList& components);
};

} // namespace tavrel
