#pragma once

#include "actions/TQTransferAggregateOperation.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

// "CreateEmptyDocument": creates the item ("CreateEmptyDocumentHandler"), then stars it ("Starred",
// when "isStarred" is YES and that action exists). The requester receives the new record and the first
// error; a failed creation skips the starring.
class TQdmhCreateEmptyDocumentOperation : public TQTransferAggregateOperation
{
    Q_OBJECT
public:
    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;

private:
    TQOperationPtr m_create;
    ManagedObjectPtr m_createdDocument;
};

} // namespace tavrel
