#pragma once

#include "pipeline/GDManagerManager.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"

#include <memory>

namespace tavrel {

// The service side of the document actions ("gddmh" handlers): owns the session's one documents
// service, authorised by the account's OAuth 2 authentication, with cached answers, next links
// followed, retries on, and upload progress relayed to the action's progress consumer.
class GDataDocumentManager : public GDManagerManager
{
    Q_OBJECT
public:
    // Uploads go in chunks of this size: one chunk is all of a file the client holds at a time, and
    // fewer, larger chunks cost fewer round trips (a multiple of 256 KiB, as the service asks).
    static constexpr qint64 kUploadChunkBytes = 8 * 1024 * 1024;

    // Nothing without an authentication.
    static std::unique_ptr<GDataDocumentManager>
    gdataManagerWithAuthentication(std::shared_ptr<GDataAuthorizer> authentication);
    explicit GDataDocumentManager(std::shared_ptr<GDataAuthorizer> authentication, QObject* parent = nullptr);
    ~GDataDocumentManager() override;

    QString handlerPrefix() const override;
    GDataServiceGoogleDocs* service() const { return m_service.get(); }
    void setService(std::unique_ptr<GDataServiceGoogleDocs> service);

    // Called by the service during every upload: sends actionDidProgress(progressID, parameters, sent,
    // total) to the "progressConsumer" of the ticket's "parameter" dictionary, when that dictionary has
    // both a "progressID" and a consumer that responds. Runs on the thread of the upload.
    static void uploadProgress(const GDataServiceTicketPtr& ticket, quint64 sent, quint64 total);

private:
    std::unique_ptr<GDataServiceGoogleDocs> m_service;
};

} // namespace tavrel
