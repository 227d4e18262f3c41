#include "actions/TQdmhTrashDocumentsOperation.h"

#include "actions/DocumentActionSupport.h"
#include "model/TQLocalizedStrings.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhTrashDocumentsOperation)

namespace {

const QString kFetchDocuments = QStringLiteral("FetchDocuments");

} // namespace

QVariant TQdmhTrashDocumentsOperation::results() const
{
    std::lock_guard lock(m_stateMutex);
    return m_results;
}

void TQdmhTrashDocumentsOperation::setup()
{
    QList<TQOperationPtr> steps;
    if (auto step = makeStep(QStringLiteral("TrashDocumentsHandler"),
                             QStringLiteral("trashDocumentsDidFinishWithResult:error:"), arguments()))
        steps.append(step);
    if (auto step =
            makeStep(kFetchDocuments, QStringLiteral("fetchGoogleObjectsDidFinishWithResult:error:"), {}))
        steps.append(step);
    setOperations(steps);
}

void TQdmhTrashDocumentsOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQStepChainOperation::willStartOperation(operation);
    if (operation->name() == kFetchDocuments)
        setStepArguments(operation, {{QStringLiteral("documentEntities"), results()}});
}

void TQdmhTrashDocumentsOperation::trashDocumentsDidFinishWithResult(const QVariant& result,
                                                                     const QVariant& error)
{
    {
        std::lock_guard lock(m_stateMutex);
        m_results = result;
    }
    Error failure = DocumentActionSupport::errorFrom(error);
    if (failure.domain() == VUvodozuManager::kErrorDomain &&
        failure.code() == VUvodozuManager::kSomeFetchErrorCode) {
        QVariantMap info = failure.userInfo();
        info.insert(Error::kLocalizedDescriptionKey,
                    TQLocalizedStrings::localizedStringForKey(QStringLiteral("SomeTrashError")));
        failure = Error(failure.domain(), failure.code(), info);
    }
    stepDidAnswer(DocumentActionSupport::errorValue(failure));
}

void TQdmhTrashDocumentsOperation::fetchGoogleObjectsDidFinishWithResult(const QVariant& result,
                                                                         const QVariant& error)
{
    {
        std::lock_guard lock(m_stateMutex);
        m_results = result;
    }
    stepDidAnswer(error);
}

} // namespace tavrel
