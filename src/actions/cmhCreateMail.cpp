#include "actions/cmhCreateMail.h"

#include "model/Mail.h"
#include "model/MailAdapter.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/ThreadDispatch.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(cmhCreateMail)

bool cmhCreateMail::isNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::Char:
        return true;
    default:
        return false;
    }
}

bool cmhCreateMail::isString(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<QString>();
}

void cmhCreateMail::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const QVariant address = parameters.value(QStringLiteral("mailAddress"));
    if (!isString(address)) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    const QVariant label = parameters.value(QStringLiteral("mailLabel"));
    const QVariant favorite = parameters.value(QStringLiteral("isFavorite"));
    auto adapter = std::make_shared<MailAdapter>();
    adapter->setAddress(address.toString());
    adapter->setLabel(isString(label) ? label.toString() : QString());
    adapter->setFavorite(isNumber(favorite) ? favorite.toBool() : true);
    adapter->setVisible(true);

    TQMOCMaster* master = masterMOC();
    TQMOCMasterUpdater* updater = masterMOCUpdater();
    if (!master || !updater) {
        callExternalInvocation(
            invocation, QVariant(),
            VUvodozuManager::unexpectedErrorWithReason(QStringLiteral("The session has no store")));
        return;
    }
    updater->mailCreated(adapter);
    const QString text = address.toString();
    const ManagedObjectPtr mail = ThreadDispatch::callOnMainThread(
        [master, text]() -> ManagedObjectPtr { return Mail::mailEntityWithAddress(text, master); });
    callExternalInvocation(invocation, mail ? QVariant::fromValue(mail) : QVariant(), Error());
}

QVariantMap cmhCreateMail::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
