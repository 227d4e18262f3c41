#include "actions/TQdmhGetFilesOperation.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/FileEntryAbstract.h"
#include "platform/runtime/ClassRegistry.h"
#include "progress/IProgressConsumer.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhGetFilesOperation)

TQdmhGetFilesOperation::TQdmhGetFilesOperation()
{
    setIsHeavy(true);
}

void TQdmhGetFilesOperation::setup()
{
    // The records are read here: from this worker's context, never the requester's.
    fetchManagedObjectInCurrentContext();
    const QVariantMap all = arguments();
    QVariantMap base = TransferSupport::stepArguments(all);
    base.remove(TransferKeys::kDocumentEntities);
    m_progress.setConsumer(progressConsumer(), all.value(TransferKeys::kProgressID).toString());
    const bool measured = m_progress.consumerTakesProgress();
    for (const QVariant& item : all.value(TransferKeys::kDocumentEntities).toList()) {
        QVariantMap step = base;
        step.insert(TransferKeys::kDocumentEntity, item);
        if (measured) {
            const auto record = TransferSupport::recordOf<FileEntryAbstract>(item);
            const quint64 size = record ? record->quotaBytesUsed().toULongLong() : 0;
            step.insert(kProgressConsumerKey, QVariant::fromValue<QObject*>(this));
            step.insert(TransferKeys::kProgressID, m_progress.addItem(size));
        }
        const TQOperationPtr added = addStep(QStringLiteral("GetFile"), step);
        if (added && measured)
            added->setProgressConsumer(this);
    }
}

void TQdmhGetFilesOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQTransferAggregateOperation::willStartOperation(operation);
    if (m_progressStarted)
        return;
    m_progressStarted = true;
    IProgressConsumer::sendActionWillStart(m_progress.consumer(), name(), arguments());
}

void TQdmhGetFilesOperation::didFinishOperation(const TQOperationPtr& operation)
{
    Q_UNUSED(operation);
    QVariant result;
    bool succeeded = false;
    if (stepAnswer(&result, &succeeded) && succeeded && result.isValid())
        m_results.append(result);
}

void TQdmhGetFilesOperation::allSuboperationsDidFinish()
{
    finishWithResult(m_results, firstError());
    if (m_progressStarted)
        IProgressConsumer::sendActionDidFinish(m_progress.consumer(), name(), arguments());
}

void TQdmhGetFilesOperation::actionWillStart(const QString& action, const QVariantMap& arguments)
{
    Q_UNUSED(action);
    Q_UNUSED(arguments);
    m_progress.itemDidStartOrFinish();
}

void TQdmhGetFilesOperation::actionDidFinish(const QString& action, const QVariantMap& arguments)
{
    Q_UNUSED(action);
    Q_UNUSED(arguments);
    m_progress.itemDidStartOrFinish();
}

void TQdmhGetFilesOperation::actionDidProgress(const QString& progressID, const QVariantMap& arguments,
                                               quint64 part, quint64 total)
{
    Q_UNUSED(arguments);
    m_progress.itemDidProgress(progressID, this->arguments(), part, total);
}

} // namespace tavrel
