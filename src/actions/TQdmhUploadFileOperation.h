#pragma once

#include "actions/TQTransferAggregateOperation.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

// "UploadFile": one local file as a new entry, through exactly one step: "UploadAndShare" when
// "ACLEntries" is a list, else "UploadAndGeneralACLPermission" when "generalACLPermission" is a general
// permission, else "UploadFileHandler". The step gets this operation's arguments when it starts. The
// requester receives the uploaded record (nothing when the step answered none, also beside an error of
// the sharing after it) and the step's error.
class TQdmhUploadFileOperation : public TQTransferAggregateOperation
{
    Q_OBJECT
public:
    // The step chosen for the arguments.
    static QString stepForArguments(const QVariantMap& arguments);

    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;

private:
    ManagedObjectPtr m_uploadedDocument;
};

} // namespace tavrel
