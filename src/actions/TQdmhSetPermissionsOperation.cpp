#include "actions/TQdmhSetPermissionsOperation.h"

#include "actions/DocumentActionSupport.h"
#include "model/TQLocalizedStrings.h"
#include "notifications/TQExternalNotificationCenter.h"
#include "platform/runtime/ClassRegistry.h"

#include <atomic>

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhSetPermissionsOperation)

namespace {

std::atomic<quint64> g_nextNotification{1};

QString format(const QString& text, const QVariant& argument)
{
    return text.arg(argument.toString());
}

} // namespace

void TQdmhSetPermissionsOperation::setPermissionDidFinishWithResult(const QVariant& result,
                                                                    const QVariant& error)
{
    collectResult(result, error);
}

QVariantMap TQdmhSetPermissionsOperation::extraArguments(const QVariantMap& arguments) const
{
    return {{QStringLiteral("ACLEntries"), arguments.value(QStringLiteral("ACLEntries"))}};
}

void TQdmhSetPermissionsOperation::allSuboperationsDidFinish()
{
    if (isCancelled())
        return;
    sendNotification();
    TQEachDocumentOperation::allSuboperationsDidFinish();
}

void TQdmhSetPermissionsOperation::sendNotification()
{
    const QVariantMap arguments = this->arguments();
    if (!error().isNull() || arguments.contains(QStringLiteral("modified")))
        return;
    const QVariantList documents = arguments.value(QStringLiteral("documentEntities")).toList();
    const QList<TQACLEntry> people =
        DocumentActionSupport::aclEntriesFrom(arguments.value(QStringLiteral("ACLEntries")));
    if (documents.isEmpty() || people.isEmpty())
        return;
    QString title;
    if (documents.size() == 1) {
        const auto record = DocumentActionSupport::documentFrom(documents.first());
        title = record ? record->title() : QString();
    } else {
        title = format(TQLocalizedStrings::localizedStringForKey(QStringLiteral("ManyItems")),
                       quint64(documents.size()));
    }
    QString message;
    if (people.size() == 1) {
        const TQACLEntry& person = people.first();
        const QString name = person.displayName().isEmpty() ? person.value() : person.displayName();
        if (name.isEmpty())
            return;
        message = format(documents.size() == 1 ? TQLocalizedStrings::localizedStringForKey(
                                                     QStringLiteral("SetPermissionNotification1Item1Contact"))
                                               : TQLocalizedStrings::localizedStringForKey(QStringLiteral(
                                                     "SetPermissionNotificationMoreItems1Contact")),
                         name);
    } else {
        message = format(documents.size() == 1 ? TQLocalizedStrings::localizedStringForKey(QStringLiteral(
                                                     "SetPermissionNotification1ItemMoreContacts"))
                                               : TQLocalizedStrings::localizedStringForKey(QStringLiteral(
                                                     "SetPermissionNotificationMoreItemsMoreContacts")),
                         quint64(people.size()));
    }
    if (TQExternalNotificationCenter* center = TQExternalNotificationCenter::defaultCenter())
        center->postExternalNotification(TQExternalNotification::notificationWithName(
            TQExternalNotification::kTQActionDidFinishNotification, title, message,
            QString::number(g_nextNotification.fetch_add(1))));
}

} // namespace tavrel
