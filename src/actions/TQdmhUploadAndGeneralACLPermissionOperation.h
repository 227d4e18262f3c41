#pragma once

#include "actions/TQTransferAggregateOperation.h"

namespace tavrel {

// "UploadAndGeneralACLPermission": uploads one file ("UploadFileHandler"), then gives the new record the
// general access of "generalACLPermission" ("SetGeneralACLPermission"). After each step that answers a
// record, the operation's "documentEntity" becomes that record, so the second step works on the upload
// and the requester receives the refreshed record with the first error (an upload error skips the
// second step and answers the "documentEntity" the request carried, if any).
class TQdmhUploadAndGeneralACLPermissionOperation : public TQTransferAggregateOperation
{
    Q_OBJECT
public:
    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;
};

} // namespace tavrel
