#include "progress/TQUploadProgressSession.h"

#include "platform/system/TQLog.h"

#include <QSet>
#include <QUrl>

namespace tavrel {

namespace {
QUrl urlOf(const QVariant& value)
{
    if (value.canConvert<QUrl>() && value.metaType() == QMetaType::fromType<QUrl>())
        return value.toUrl();
    const QString text = value.toString();
    return text.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(text) : QUrl(text);
}
} // namespace

void TQUploadProgressSession::actionsDidChange()
{
    QSet<QUrl> urls;
    for (const TQProgressActionPtr& action : allActions()) {
        const QVariant fileURLs = action->arguments().value(QStringLiteral("fileURLs"));
        if (fileURLs.metaType() == QMetaType::fromType<QList<QUrl>>()) {
            for (const QUrl& url : fileURLs.value<QList<QUrl>>())
                urls.insert(url);
            continue;
        }
        for (const QVariant& item : fileURLs.toList())
            urls.insert(urlOf(item));
    }
    if (urls.size() == 1) {
        const QUrl url = *urls.constBegin();
        setHumanReadableName(detail::formatLogMessage(
            localizedString(QStringLiteral("UploadingOne")).toUtf8().constData(), {url.fileName()}));
    } else {
        setHumanReadableName(
            detail::formatLogMessage(localizedString(QStringLiteral("UploadingMany")).toUtf8().constData(),
                                     {QString::number(urls.size())}));
    }
}

} // namespace tavrel
