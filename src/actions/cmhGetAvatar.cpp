#include "actions/cmhGetAvatar.h"

#include "actions/GDataResultValues.h"
#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/Contact.h"
#include "model/TQCacheManager.h"
#include "model/TQLocalizedStrings.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/TQBackgroundHandlerOperation.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"

#include <QFile>

namespace tavrel {

TAVREL_REGISTER_CLASS(cmhGetAvatar)

namespace {

Error unexpectedError()
{
    return Error(VUvodozuManager::kErrorDomain, VUvodozuManager::kMissingParameterErrorCode,
                 {{Error::kLocalizedDescriptionKey,
                   TQLocalizedStrings::localizedStringForKey(QStringLiteral("UnexpectedError"))}});
}

} // namespace

void cmhGetAvatar::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto contact = TransferSupport::recordOf<Contact>(parameters.value(TransferKeys::kContactEntity));
    if (!contact) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    TQCacheManager* cache = session() ? session()->cacheManager() : nullptr;
    const QUrl cached = cache ? cache->searchObject(contact.get(), kTQCacheTypeContactAvatar) : QUrl();
    if (!cached.isEmpty()) {
        callExternalInvocation(
            invocation,
            QVariantMap{{TransferKeys::kCachedImageURL, cached},
                        {TransferKeys::kContactEntity, parameters.value(TransferKeys::kContactEntity)}},
            Error());
        return;
    }
    const GDataEntryContactPtr entry = contact->gdataEntry();
    // A link without a photo version leads to no photo.
    if (!entry || entry->photoLink().URL().isEmpty() || contact->avatarETag().isEmpty()) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("GetAvatar"), invocation,
                  {{TransferKeys::kContact, GDataResultValues::valueForObject(entry)},
                   {TransferKeys::kContactEntity, parameters.value(TransferKeys::kContactEntity)}});
}

QVariantMap cmhGetAvatar::defaultCallbackForParams(const QVariantMap& result)
{
    TQMOCMasterUpdater* updater = masterMOCUpdater();
    const QVariantMap hit = result.value(kFeedKey).toMap();
    if (hit.contains(TransferKeys::kCachedImageURL)) {
        // A hit is recorded too: the photo of this version is there.
        const auto contact = TransferSupport::recordOf<Contact>(hit.value(TransferKeys::kContactEntity));
        if (updater && contact)
            updater->contact(contact, hit.value(TransferKeys::kCachedImageURL).toUrl(), Error());
        return result;
    }
    const auto contact = TransferSupport::recordOf<Contact>(result.value(TransferKeys::kContactEntity));
    const QUrl written = result.value(TransferKeys::kImageURL).toUrl();
    QUrl avatar;
    TQCacheManager* cache = session() ? session()->cacheManager() : nullptr;
    if (contact && cache && !written.isEmpty())
        avatar = cache->addData({{kTQCacheTypeContactAvatar, written}}, contact.get())
                     .value(kTQCacheTypeContactAvatar);
    if (!written.isEmpty() && QFile::exists(written.toLocalFile()))
        QFile::remove(written.toLocalFile());
    QVariantMap answer;
    if (avatar.isEmpty()) {
        // Told to the record, so that a later read asks again instead of never.
        const Error error = TransferSupport::isError(result.value(kErrorKey))
                                ? TransferSupport::errorOf(result.value(kErrorKey))
                                : unexpectedError();
        if (updater && contact)
            updater->contact(contact, QUrl(), error);
        answer.insert(kFeedKey, QVariant());
        answer.insert(kErrorKey, QVariant::fromValue(unexpectedError()));
        return answer;
    }
    if (updater)
        updater->contact(contact, avatar, Error());
    answer.insert(kFeedKey, avatar);
    answer.insert(kErrorKey, QVariant());
    return answer;
}

QString cmhGetAvatar::handlerOperationClass() const
{
    return TQBackgroundHandlerOperation::kClassName;
}

} // namespace tavrel
