#include "actions/TQdmhStarredDocumentsOperation.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhStarredDocumentsOperation)

QVariant TQdmhStarredDocumentsOperation::results() const
{
    std::lock_guard lock(m_stateMutex);
    return m_results;
}

void TQdmhStarredDocumentsOperation::setup()
{
    QVariantMap arguments = this->arguments();
    arguments.insert(QStringLiteral("batchURL"), DocumentActionSupport::batchURL(session()));
    QList<TQOperationPtr> steps;
    if (auto step = makeStep(QStringLiteral("StarredDocumentsHandler"),
                             QStringLiteral("starredDocumentsDidFinishWithResult:error:"), arguments))
        steps.append(step);
    if (auto step = makeStep(QStringLiteral("FetchDocuments"),
                             QStringLiteral("fetchDocumentsDidFinishWithResult:error:"), arguments))
        steps.append(step);
    setOperations(steps);
}

void TQdmhStarredDocumentsOperation::starredDocumentsDidFinishWithResult(const QVariant& result,
                                                                         const QVariant& error)
{
    Q_UNUSED(result);
    stepDidAnswer(error);
}

void TQdmhStarredDocumentsOperation::fetchDocumentsDidFinishWithResult(const QVariant& result,
                                                                       const QVariant& error)
{
    if (!DocumentActionSupport::isError(error) && result.metaType() == QMetaType::fromType<QVariantList>()) {
        std::lock_guard lock(m_stateMutex);
        m_results = result;
    }
    stepDidAnswer(error);
}

} // namespace tavrel
