#include "model/TQArrayItemWrapper.h"

#include "platform/system/TQLog.h"

#include <QCoreApplication>
#include <QUrl>

namespace tavrel {

TQArrayItemWrapper TQArrayItemWrapper::wrapperWithArray(const QStringList& items)
{
    return TQArrayItemWrapper(items);
}

QString TQArrayItemWrapper::lastPathComponent(const QString& path)
{
    QString text = path;
    if (text.contains(QStringLiteral("://"))) {
        const QUrl url(text);
        if (url.isValid())
            text = url.path();
    }
    while (text.size() > 1 && text.endsWith(QLatin1Char('/')))
        text.chop(1);
    if (text == QLatin1String("/"))
        return text;
    return text.section(QLatin1Char('/'), -1);
}

QString TQArrayItemWrapper::title() const
{
    if (m_items.size() == 1)
        return lastPathComponent(m_items.first());
    // The localised format has one numeric value; without a translation loaded, an English one.
    QString format = QCoreApplication::translate("Localizable", "SharingNItems");
    if (format == QLatin1String("SharingNItems"))
        format = QStringLiteral("Sharing %lu items");
    return detail::formatLogMessage(format.toUtf8().constData(), {QString::number(m_items.size())});
}

} // namespace tavrel
