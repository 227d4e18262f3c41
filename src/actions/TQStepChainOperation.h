#pragma once

#include "pipeline/TQAggregateOperation.h"
#include "platform/runtime/Error.h"
#include "platform/store/ManagedObject.h"

#include <QVariantMap>
#include <atomic>
#include <mutex>

namespace tavrel {

// The way the document-changing operations run their steps. Each step is an action of the session's
// document manager whose callback is one of the operation's own methods; it answers on this worker
// thread, where the operation waits for it before the next step starts. A step that fails cancels
// the steps after it, and the requester then receives the operation's result with that error.
//
// Subclasses make their steps in setup() with makeStep(), hand them arguments in willStartOperation()
// (calling this class's version, which sets the step's thread), record each answer with
// stepDidAnswer() from their callbacks, and say what the requester receives in resultForCaller().
class TQStepChainOperation : public TQAggregateOperation
{
    Q_OBJECT
public:
    bool receivedCallback() const { return m_receivedCallback.load(); }
    Error error() const;

    void willStartOperation(const TQOperationPtr& operation) override;
    // Waits on this thread's event loop until the step answered; after an error the remaining steps
    // are cancelled.
    void didFinishOperation(const TQOperationPtr& operation) override;
    // Calls the requester with resultForCaller() and the error, unless cancelled.
    void allSuboperationsDidFinish() override;

protected:
    // The step `action` answering `selector` of this operation, or nothing when the manager cannot
    // make it. Its records are this thread's; it reports progress only when the arguments it is made
    // with carry a progress consumer.
    TQOperationPtr makeStep(const QString& action, const QString& selector, const QVariantMap& arguments);
    // Gives a step its arguments, read in this thread's context (its progress consumer stays).
    void setStepArguments(const TQOperationPtr& step, const QVariantMap& arguments) const;
    // A step's answer: records the error (nil on success) and lets didFinishOperation() go on.
    void stepDidAnswer(const QVariant& error);
    void setError(const Error& error);
    // As stepDidAnswer(); a document record answered without an error goes into `slot` first.
    void stepDidAnswerKeepingRecord(const QVariant& result, const QVariant& error, ManagedObjectPtr& slot);
    // The record as a result (nothing for none), read under the state lock.
    QVariant recordResult(const ManagedObjectPtr& slot) const;
    virtual QVariant resultForCaller() const = 0;

    mutable std::mutex m_stateMutex;

private:
    std::atomic<bool> m_receivedCallback{false};
    Error m_error;
};

} // namespace tavrel
