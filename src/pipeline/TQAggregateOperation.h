#pragma once

#include "pipeline/TQOperation.h"
#include "platform/runtime/Error.h"

#include <QList>

namespace tavrel {

// Runs sub-operations one after another on its own worker thread, each waiting for its own work.
// Subclasses fill the list in setup(), usually with addStep(), which resolves a named step through the
// manager like any action. By default the first step that answers an error cancels the remaining
// steps, and at the end the requester is called once with the last step's result and the first
// error (never after a cancel). Subclasses react to each step in didFinishOperation() and may deliver
// their own answer in allSuboperationsDidFinish() through finishWithResult().
class TQAggregateOperation : public TQOperation
{
    Q_OBJECT
public:
    static inline const QString kStepDidFinishSelector = QStringLiteral("stepDidFinishWithResult:error:");

    TQAggregateOperation();
    explicit TQAggregateOperation(const QList<TQOperationPtr>& operations);
    ~TQAggregateOperation() override;

    static std::shared_ptr<TQAggregateOperation>
    aggregateWithOperations(const QList<TQOperationPtr>& operations);

    QList<TQOperationPtr> operations() const;
    // Replaces the list; the sub-operations it held lose their callbacks.
    void setOperations(const QList<TQOperationPtr>& operations);

    // Appends the named action of this operation's manager (or of `owner`) as the next step,
    // answering stepDidFinishWithResult(). Its progress goes to nobody: the aggregate reports for the
    // whole action. nullptr (and no step) when the name resolves to nothing.
    TQOperationPtr addStep(const QString& action, const QVariantMap& arguments,
                           VUvodozuManager* owner = nullptr);

    // A step's answer (performed on this worker thread when the step finishes).
    Q_INVOKABLE void stepDidFinishWithResult(const QVariant& result, const QVariant& error);
    // The answers of the steps so far, in order, and the first error among them.
    QVariantList stepResults() const;
    Error firstError() const;
    // What the step answered; invalid when it did not answer (yet).
    QVariant stepResult(const TQOperationPtr& step) const;

    void cancel() override;
    void performOperation() override;

    virtual void willStartOperation(const TQOperationPtr& operation);
    virtual void didFinishOperation(const TQOperationPtr& operation);
    virtual void allSuboperationsDidFinish();

protected:
    void main() override;
    // Calls the requester (once, never after a cancel).
    bool finishWithResult(const QVariant& result, const Error& error);

private:
    QList<TQOperationPtr> m_operations;
    TQOperationPtr m_current;
    QVariantList m_results;
    QList<const TQOperation*> m_answered; // the step of each result
    Error m_firstError;
};

} // namespace tavrel
