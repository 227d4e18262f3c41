#pragma once

#include "pipeline/TQAggregateOperation.h"

namespace tavrel {

// Base of the transfer aggregates: steps run one after another on this worker thread (each one's
// answer arrives before the next starts), and the first step that fails cancels the rest. It tells a
// subclass what the step that just finished answered.
class TQTransferAggregateOperation : public TQAggregateOperation
{
    Q_OBJECT
public:
    // Subclasses that override it call this first.
    void willStartOperation(const TQOperationPtr& operation) override;

protected:
    // The result of the step that just finished and whether it answered without an error; false when it
    // gave no answer.
    bool stepAnswer(QVariant* result, bool* succeeded = nullptr) const;

private:
    qsizetype m_resultsBefore = 0;
};

} // namespace tavrel
