#pragma once

#include "actions/TQTransferAggregateOperation.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

// "UploadAndShare": uploads one file ("UploadFileHandler"), then shares the new record with the people
// of "ACLEntries" ("SetPermissions" with "documentEntities" = [the record]). Each step gets the
// operation's arguments as they are when it starts. The requester receives the last record the sharing
// answered (nothing when it answered none) and the first error; an upload error skips the sharing.
class TQdmhUploadAndShareOperation : public TQTransferAggregateOperation
{
    Q_OBJECT
public:
    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;

private:
    TQOperationPtr m_upload;
    ManagedObjectPtr m_uploadAndSharedDocument;
};

} // namespace tavrel
