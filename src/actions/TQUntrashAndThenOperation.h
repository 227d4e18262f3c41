#pragma once

#include "actions/TQStepChainOperation.h"

namespace tavrel {

// Restores "documentEntities" ("UntrashDocuments") and then runs a second action on them. Each step
// gets the operation's arguments as they stand, and the arguments a finished step ran with become the
// operation's. The requester receives the restored records (or the second step's record when it
// answers a single one) and the first error.
class TQUntrashAndThenOperation : public TQStepChainOperation
{
    Q_OBJECT
public:
    QVariant result() const;

    void setup() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;

    Q_INVOKABLE void untrashHandlerDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void starredDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    virtual QString secondAction() const = 0;
    // Whether the second step works on the restored records rather than the caller's.
    virtual bool secondStepTakesRestored() const = 0;
    QVariant resultForCaller() const override { return result(); }

private:
    QVariant m_result;
};

} // namespace tavrel
