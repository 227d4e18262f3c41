#include "window/ActionNotifications.h"

#include "model/FileEntryAbstract.h"
#include "notifications/TQExternalNotification.h"
#include "notifications/TQExternalNotificationCenter.h"
#include "platform/ui/StringTable.h"
#include "window/ActionRequests.h"

namespace tavrel {

QVariantList ActionNotifications::records(const QVariant& result)
{
    QVariantList found;
    const QVariantList list =
        result.metaType() == QMetaType::fromType<QVariantList>() ? result.toList() : QVariantList{result};
    for (const QVariant& item : list)
        if (item.value<ManagedObjectPtr>())
            found.append(item);
    return found;
}

QString ActionNotifications::titleOf(const QVariant& record)
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record.value<ManagedObjectPtr>());
    return entry ? entry->title() : QString();
}

QString ActionNotifications::titleForCount(const QString& singleTitle, qsizetype count)
{
    return count == 1 ? singleTitle : StringTable::format(QStringLiteral("ManyItems"), qint64(count));
}

void ActionNotifications::post(const QString& title, const QString& message)
{
    TQExternalNotificationCenter::defaultCenter()->postExternalNotification(
        TQExternalNotification::notificationWithName(TQExternalNotification::kTQActionDidFinishNotification,
                                                     title, message,
                                                     QString::number(ActionRequests::uniqueNumber())));
}

void ActionNotifications::postUpload(const QVariantList& uploaded)
{
    if (uploaded.isEmpty())
        return;
    post(titleForCount(titleOf(uploaded.constFirst()), uploaded.size()),
         StringTable::text(QStringLiteral("UploadOneFileFormat")));
}

} // namespace tavrel
