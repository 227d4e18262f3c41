#include "actions/TQTransferAggregateOperation.h"

namespace tavrel {

void TQTransferAggregateOperation::willStartOperation(const TQOperationPtr& operation)
{
    Q_UNUSED(operation);
    m_resultsBefore = stepResults().size();
}

bool TQTransferAggregateOperation::stepAnswer(QVariant* result, bool* succeeded) const
{
    const QVariantList results = stepResults();
    if (results.size() <= m_resultsBefore)
        return false;
    if (result)
        *result = results.last();
    // Nothing runs after the first failure, so an error now is this step's.
    if (succeeded)
        *succeeded = firstError().isNull();
    return true;
}

} // namespace tavrel
