#pragma once

#include "actions/TQStepChainOperation.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

// "UnassignCollection": takes the document out of the collection ("UnassignCollectionHandler"), then
// re-reads it into the store ("FetchDocument"). The requester receives the re-read record.
class TQdmhUnassignCollectionOperation : public TQStepChainOperation
{
    Q_OBJECT
public:
    ManagedObjectPtr documentEntity() const;

    void setup() override;

    Q_INVOKABLE void unassignCollectionHandlerDidFinishWithResult(const QVariant& result,
                                                                  const QVariant& error);
    Q_INVOKABLE void fetchDocumentDidFinishWithResults(const QVariant& result, const QVariant& error);

protected:
    QVariant resultForCaller() const override;

private:
    ManagedObjectPtr m_documentEntity;
};

} // namespace tavrel
