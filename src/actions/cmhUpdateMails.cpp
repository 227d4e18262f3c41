#include "actions/cmhUpdateMails.h"

#include "actions/cmhCreateMail.h"
#include "model/Mail.h"
#include "model/MailAdapter.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/store/ManagedObjectContext.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(cmhUpdateMails)

void cmhUpdateMails::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const QVariant given = parameters.value(QStringLiteral("mailEntities"));
    QList<ManagedObjectPtr> mails;
    if (given.metaType() == QMetaType::fromType<QVariantList>()) {
        for (const QVariant& item : given.toList())
            if (auto record = item.value<ManagedObjectPtr>())
                mails.append(record);
    } else if (given.metaType() == QMetaType::fromType<QList<ManagedObjectPtr>>()) {
        mails = given.value<QList<ManagedObjectPtr>>();
    } else {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    TQMOCManager* store = mocManager();
    TQMOCMasterUpdater* updater = masterMOCUpdater();
    ManagedObjectContext* context = store ? store->managedObjectContextForCurrentThread() : nullptr;
    if (!context || !updater) {
        callExternalInvocation(
            invocation, QVariant(),
            VUvodozuManager::unexpectedErrorWithReason(QStringLiteral("The session has no store")));
        return;
    }

    const QVariant address = parameters.value(QStringLiteral("mailAddress"));
    const QVariant label = parameters.value(QStringLiteral("mailLabel"));
    const QVariant favorite = parameters.value(QStringLiteral("isFavorite"));
    const QVariant visible = parameters.value(QStringLiteral("isVisible"));
    QVariantList pairs;
    QStringList newAddresses;
    for (const ManagedObjectPtr& item : std::as_const(mails)) {
        const auto asked = std::dynamic_pointer_cast<Mail>(item);
        const auto mail = asked ? Mail::mailEntityWithAddress(asked->address(), context) : nullptr;
        if (!mail)
            continue;
        const std::shared_ptr<MailAdapter> adapter = mail->adapterObject();
        if (cmhCreateMail::isString(address))
            adapter->setAddress(address.toString());
        if (cmhCreateMail::isString(label))
            adapter->setLabel(label.toString());
        if (cmhCreateMail::isNumber(favorite))
            adapter->setFavorite(favorite.toBool());
        if (cmhCreateMail::isNumber(visible)) {
            adapter->setVisible(visible.toBool());
            // A hidden address is never a favourite.
            if (!visible.toBool())
                adapter->setFavorite(false);
        }
        pairs.append(QVariantMap{{QStringLiteral("mailAddress"), mail->address()},
                                 {QStringLiteral("mailEntity"), QVariant::fromValue(adapter)}});
        newAddresses.append(adapter->address());
    }
    updater->mailsUpdated(pairs);

    QVariantList changed;
    for (const QString& text : std::as_const(newAddresses))
        if (const auto mail = Mail::mailEntityWithAddress(text, context))
            changed.append(QVariant::fromValue<ManagedObjectPtr>(mail));
    callExternalInvocation(invocation, changed, Error());
}

QVariantMap cmhUpdateMails::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
