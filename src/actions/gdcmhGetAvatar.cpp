#include "actions/gdcmhGetAvatar.h"

#include "actions/GDataResultValues.h"
#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/Exception.h"
#include "platform/system/TemporaryFiles.h"

#include <QFile>
#include <QImage>
#include <QSaveFile>

namespace tavrel {

TAVREL_REGISTER_CLASS(gdcmhGetAvatar)

namespace {

void answer(const InvocationPtr& invocation, const QVariantMap& parameters, const QImage& image,
            const Error& error)
{
    if (!invocation)
        return;
    QVariantMap result;
    result.insert(TransferKeys::kImage, image.isNull() ? QVariant() : QVariant::fromValue(image));
    result.insert(kErrorKey, TransferSupport::errorValue(error));
    result.insert(TransferKeys::kContact, parameters.value(TransferKeys::kContact));
    result.insert(TransferKeys::kContactEntity, parameters.value(TransferKeys::kContactEntity));
    invocation->setArgument(4, result);
    invocation->invoke();
}

} // namespace

void gdcmhGetAvatar::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto entry =
        GDataResultValues::objectFromValue<GDataEntryContact>(parameters.value(TransferKeys::kContact));
    if (!entry)
        throw Exception(kContactNotFoundException,
                        QStringLiteral("contact entry not found on parameters, must be a GDataEntryBase"));
    const QUrl photo = entry->photoLink().URL();
    if (photo.isEmpty() || !service()) {
        answer(invocation, parameters, {}, Error());
        return;
    }
    QNetworkRequest request = service()->requestForURL(photo);
    request.setRawHeader("Accept", "image/*");
    const GTMHTTPFetcherPtr fetcher = service()->fetcherWithRequest(request);
    const bool started = fetcher->beginFetchWithCompletionHandler(
        [invocation, parameters](const GTMHTTPFetcherPtr&, const QByteArray& data, const Error& error) {
            answer(invocation, parameters, error.isNull() ? QImage::fromData(data) : QImage(), error);
        });
    if (!started)
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gdcmhGetAvatar::defaultCallbackForParams(const QVariantMap& result)
{
    const QImage image = result.value(TransferKeys::kImage).value<QImage>();
    if (image.isNull())
        return result;
    const QUrl target = TemporaryFiles::URLTempUniqueFileWithExtension(QStringLiteral("png"));
    if (target.isEmpty())
        return result;
    QSaveFile file(target.toLocalFile());
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        QFile::remove(target.toLocalFile());
        return result;
    }
    QVariantMap written = result;
    written.insert(TransferKeys::kImageURL, target);
    return written;
}

} // namespace tavrel
