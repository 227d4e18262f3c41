#include "app/TQActionMenuItemController.h"

#include "platform/ui/StringTable.h"

#include <QFileInfo>
#include <QUrl>

namespace tavrel {

TQActionMenuItemController::TQActionMenuItemController(QWidgetAction* controlledItem)
    : TQActiveMenuItemController(controlledItem)
{
    setActiveIcon(QStringLiteral("icon-uploading"));
}

QString TQActionMenuItemController::percentageExtension(quint64 part, quint64 total)
{
    if (total == 0)
        return {};
    return QStringLiteral(" (%1%)").arg(part * 100 / total);
}

void TQActionMenuItemController::setProgressAction(const TQProgressActionPtr& action)
{
    if (action == m_progressAction)
        return;
    m_progressAction = action;
    setTitleExtension({});
    if (!action)
        return;
    const QVariantList urls = [&] {
        const QVariant value = action->arguments().value(QStringLiteral("fileURLs"));
        if (value.canConvert<QList<QUrl>>() && value.metaType() == QMetaType::fromType<QList<QUrl>>()) {
            QVariantList list;
            for (const QUrl& url : value.value<QList<QUrl>>())
                list.append(url);
            return list;
        }
        return value.toList();
    }();
    if (urls.size() == 1)
        setTitle(StringTable::format(QStringLiteral("UploadingOne"),
                                     QFileInfo(urls.first().toUrl().path()).fileName()));
    else
        setTitle(StringTable::format(QStringLiteral("UploadingMany"), urls.size()));
    progressDidChange();
}

void TQActionMenuItemController::progressDidChange()
{
    if (m_progressAction)
        setTitleExtension(
            percentageExtension(m_progressAction->progressPart(), m_progressAction->progressTotal()));
}

} // namespace tavrel
