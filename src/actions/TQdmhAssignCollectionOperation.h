#pragma once

#include "actions/TQStepChainOperation.h"
#include "platform/store/ManagedObject.h"

#include <QUrl>

namespace tavrel {

// "AssignCollection": reads the collection's content feed ("FetchFeed") for its post address, then
// posts the document there ("AssignCollectionHandler"). The requester receives the updated record.
class TQdmhAssignCollectionOperation : public TQStepChainOperation
{
    Q_OBJECT
public:
    QUrl collectionPostURL() const;
    ManagedObjectPtr documentEntity() const;

    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;

    Q_INVOKABLE void fetchFeedDidFinishWithResults(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void assignCollectionHandlerDidFinishWithResult(const QVariant& result,
                                                                const QVariant& error);

protected:
    QVariant resultForCaller() const override;

private:
    QUrl m_collectionPostURL;
    ManagedObjectPtr m_documentEntity;
};

} // namespace tavrel
