#include "actions/gddmhRemovePermission.h"

#include "actions/DocumentActionSupport.h"
#include "actions/GDataResultValues.h"
#include "actions/dmhRemovePermissionHandler.h"
#include "platform/gdata/GDataEntryACL.h"
#include "platform/gdata/GDataFeedACL.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/Exception.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhRemovePermission)

namespace {

GDataEntryACLPtr entryOfAddress(const GDataFeedPtr& feed, const QString& address)
{
    if (!feed)
        return nullptr;
    for (const GDataEntryPtr& item : feed->entries()) {
        const auto entry = std::dynamic_pointer_cast<GDataEntryACL>(item);
        const auto scope = entry ? entry->scope() : std::nullopt;
        if (scope && scope->value().compare(address, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return nullptr;
}

} // namespace

void gddmhRemovePermission::executeActionAndCall(const InvocationPtr& invocation,
                                                 const QVariantMap& parameters)
{
    const QString kInvalid = QStringLiteral("InvalidParameterException");
    const auto record =
        DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")));
    if (!record)
        throw Exception(kInvalid, QStringLiteral("Parameter must contain a valid documentEntity key"));
    if (parameters.value(QStringLiteral("mailAddress")).metaType() != QMetaType::fromType<QString>())
        throw Exception(kInvalid, QStringLiteral("Parameter must contain a valid mail key"));
    const QString address = parameters.value(QStringLiteral("mailAddress")).toString();
    const GDataEntryDocPtr document = record->gdataEntry();
    const GDataFeedLinkPtr link = document ? document->ACLFeedLink() : nullptr;

    QUrl target;
    const auto current =
        GDataResultValues::objectFromValue<GDataFeedACL>(parameters.value(QStringLiteral("feedACL")));
    if (current) {
        if (const GDataEntryACLPtr entry = entryOfAddress(current, address))
            target = QUrl(entry->editLink().href());
    } else if (document) {
        if (const GDataEntryACLPtr entry = entryOfAddress(link ? link->feed() : nullptr, address))
            target = QUrl(entry->editLink().href());
        else if (link && !link->href().isEmpty())
            // A stored list may be old: the user's rule is named by its address.
            target = QUrl(link->href() + QStringLiteral("/") +
                          QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("user:") + address)));
    }
    if (target.isEmpty() && (current || document)) {
        callHighLevelInvocation(invocation, parameters, QVariant(),
                                dmhRemovePermissionHandler::permissionNotFoundError(address));
        return;
    }
    GDataServiceTicketPtr ticket;
    if (service() && !target.isEmpty())
        ticket = service()->deleteResourceURL(target, QStringLiteral("*"), this, kFeedCallback);
    if (!ticket) {
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
        return;
    }
    ticket->setProperty(QStringLiteral("documentEntity"), parameters.value(QStringLiteral("documentEntity")));
    ticket->setProperty(QStringLiteral("mailAddress"), address);
    parkInvocation(ticket, invocation);
}

QVariantMap gddmhRemovePermission::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
