#include "actions/GDataDocumentManager.h"

#include "pipeline/GDManagerHandler.h"
#include "pipeline/TQOperation.h"
#include "progress/IProgressConsumer.h"

namespace tavrel {

namespace {
const QString kProgressIDKey = QStringLiteral("progressID");
} // namespace

std::unique_ptr<GDataDocumentManager>
GDataDocumentManager::gdataManagerWithAuthentication(std::shared_ptr<GDataAuthorizer> authentication)
{
    if (!authentication)
        return {};
    return std::make_unique<GDataDocumentManager>(std::move(authentication));
}

GDataDocumentManager::GDataDocumentManager(std::shared_ptr<GDataAuthorizer> authentication, QObject* parent)
    : GDManagerManager(authentication, parent)
{
    auto service = std::make_unique<GDataServiceGoogleDocs>();
    service->setShouldCacheResponseData(true);
    service->setServiceShouldFollowNextLinks(true);
    service->setIsServiceRetryEnabled(true);
    service->setAuthorizer(authentication);
    service->setServiceUploadProgressHandler(&GDataDocumentManager::uploadProgress);
    service->setServiceUploadChunkSize(kUploadChunkBytes);
    setService(std::move(service));
}

GDataDocumentManager::~GDataDocumentManager() = default;

QString GDataDocumentManager::handlerPrefix() const
{
    return QStringLiteral("gddmh");
}

void GDataDocumentManager::setService(std::unique_ptr<GDataServiceGoogleDocs> service)
{
    m_service = std::move(service);
}

void GDataDocumentManager::uploadProgress(const GDataServiceTicketPtr& ticket, quint64 sent, quint64 total)
{
    if (!ticket)
        return;
    const QVariantMap parameter = ticket->propertyForKey(GDManagerHandler::kParameterKey).toMap();
    const QVariant progressID = parameter.value(kProgressIDKey);
    const QVariant consumer = parameter.value(TQOperation::kProgressConsumerKey);
    if (!progressID.isValid())
        return;
    IProgressConsumer::sendActionDidProgress(TQOperation::progressConsumerOf(consumer), progressID.toString(),
                                             parameter, sent, total);
}

} // namespace tavrel
