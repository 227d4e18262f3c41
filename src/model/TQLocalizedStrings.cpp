#include "model/TQLocalizedStrings.h"

#include <QCoreApplication>
#include <QHash>

namespace tavrel {

namespace {

const QHash<QString, QString>& englishTexts()
{
    static const QHash<QString, QString> texts{
        {QStringLiteral("UnexpectedError"),
         QStringLiteral("An unexpected error occurred. Please try again.")},
        {QStringLiteral("SomeFetchError"), QStringLiteral("Some items could not be processed.")},
        {QStringLiteral("NoTicketError"), QStringLiteral("The request could not be sent to the service.")},
        {QStringLiteral("tooManyBatchRequest"),
         QStringLiteral("The service is busy with too many requests. Please try again later.")},
        {QStringLiteral("ManyItems"), QStringLiteral("%1 items")},
        {QStringLiteral("SomeTrashError"), QStringLiteral("Some items could not be moved to the trash.")},
        {QStringLiteral("PermissionNotFoundError"),
         QStringLiteral("%1 has no access of their own to this item.")},
        {QStringLiteral("SetPermissionNotification1Item1Contact"), QStringLiteral("Shared with %1")},
        {QStringLiteral("SetPermissionNotification1ItemMoreContacts"),
         QStringLiteral("Shared with %1 people")},
        {QStringLiteral("SetPermissionNotificationMoreItems1Contact"), QStringLiteral("Shared with %1")},
        {QStringLiteral("SetPermissionNotificationMoreItemsMoreContacts"),
         QStringLiteral("Shared with %1 people")},
        {QStringLiteral("NewSharedFileNotification"), QStringLiteral("Shared with you")},
        {QStringLiteral("UpdatedSingleFileNotification"), QStringLiteral("Updated by %1")},
        {QStringLiteral("UpdatedMultiFilesNotification"), QStringLiteral("Updated by others")},
    };
    return texts;
}

} // namespace

QString TQLocalizedStrings::localizedStringForKey(const QString& key)
{
    if (key.isEmpty())
        return key;
    const QByteArray utf8 = key.toUtf8();
    const QString translated = QCoreApplication::translate("Localizable", utf8.constData());
    if (translated != key)
        return translated;
    return englishTexts().value(key, key);
}

} // namespace tavrel
