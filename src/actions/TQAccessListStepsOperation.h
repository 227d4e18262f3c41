#pragma once

#include "actions/TQStepChainOperation.h"
#include "platform/gdata/GDataFeedACL.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

// One document's access-list change in three steps: read its current access list ("FetchFeed" of the
// entry's access-list feed link), change it (the subclass's step, given the list as "feedACL"), and
// re-read the document into the store ("FetchDocument"). The keys each step is given accumulate in
// the operation's arguments. A missing address or list is left out, so the step refuses (701).
class TQAccessListStepsOperation : public TQStepChainOperation
{
    Q_OBJECT
public:
    GDataFeedPtr fetchedFeed() const;
    ManagedObjectPtr fetchedDocument() const;

    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;

    Q_INVOKABLE void fetchFeedDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void fetchDocumentDidFinishWithResults(const QVariant& result, const QVariant& error);

protected:
    virtual QString changeAction() const = 0;
    virtual QString changeSelector() const = 0;
    // Whether the steps report their progress to the requester's consumer.
    virtual bool stepsReportProgress() const { return false; }
    QVariant resultForCaller() const override;

private:
    GDataFeedPtr m_fetchedFeed;
    ManagedObjectPtr m_fetchedDocument;
};

} // namespace tavrel
