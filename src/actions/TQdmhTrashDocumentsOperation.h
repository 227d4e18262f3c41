#pragma once

#include "actions/TQStepChainOperation.h"

namespace tavrel {

// "TrashDocuments": moves "documentEntities" to the trash in one batch ("TrashDocumentsHandler"), then
// re-reads the entries it trashed ("FetchDocuments"). The requester receives the refreshed records;
// after a failed batch, the entries that were trashed and the error (704 reads "SomeTrashError"),
// without a re-read.
class TQdmhTrashDocumentsOperation : public TQStepChainOperation
{
    Q_OBJECT
public:
    QVariant results() const;

    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;

    Q_INVOKABLE void trashDocumentsDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void fetchGoogleObjectsDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QVariant resultForCaller() const override { return results(); }

private:
    QVariant m_results;
};

} // namespace tavrel
