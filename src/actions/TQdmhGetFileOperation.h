#pragma once

#include "actions/TQTransferAggregateOperation.h"

namespace tavrel {

// "GetFile": a local copy of one document ("GetFileHandler") or of a collection as a folder tree
// ("CreateFolderAndGetContent"), chosen by the class of "documentEntity". Heavy: it waits however long
// the transfer takes. The requester receives the step's result dictionary ("fileURL" names the copy)
// and its error.
class TQdmhGetFileOperation : public TQTransferAggregateOperation
{
    Q_OBJECT
public:
    TQdmhGetFileOperation();

    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;

private:
    QVariant m_result;
};

} // namespace tavrel
