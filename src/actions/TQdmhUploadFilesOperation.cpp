#include "actions/TQdmhUploadFilesOperation.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/FileEntryAbstract.h"
#include "platform/runtime/ClassRegistry.h"
#include "progress/IProgressConsumer.h"

#include <QFileInfo>

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhUploadFilesOperation)

void TQdmhUploadFilesOperation::setup()
{
    const QVariantMap all = arguments();
    QVariantMap base = TransferSupport::stepArguments(all);
    base.remove(TransferKeys::kFileURLs);
    m_progress.setConsumer(progressConsumer(), all.value(TransferKeys::kProgressID).toString());
    const bool measured = m_progress.consumerTakesProgress();
    QStringList missing;
    for (const QVariant& item : all.value(TransferKeys::kFileURLs).toList()) {
        const QString path = item.toUrl().toLocalFile();
        const QFileInfo info(path);
        if (path.isEmpty() || !info.exists()) {
            missing.append(path.isEmpty() ? item.toString() : info.fileName());
            continue;
        }
        QVariantMap step = base;
        if (measured) {
            step.insert(kProgressConsumerKey, QVariant::fromValue<QObject*>(this));
            step.insert(TransferKeys::kProgressID,
                        m_progress.addItem(TransferSupport::uploadSizeOfPath(path)));
        }
        const bool folder = info.isDir();
        step.insert(folder ? TransferKeys::kFolderURL : TransferKeys::kFileURL, QUrl::fromLocalFile(path));
        const TQOperationPtr added =
            addStep(folder ? QStringLiteral("UploadFolderAndContent") : QStringLiteral("UploadFile"), step);
        if (added && measured)
            added->setProgressConsumer(this);
    }
    if (!missing.isEmpty())
        m_missing = TransferSupport::missingFileError(missing.join(QStringLiteral(", ")));
}

void TQdmhUploadFilesOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQTransferAggregateOperation::willStartOperation(operation);
    if (m_progressStarted)
        return;
    m_progressStarted = true;
    IProgressConsumer::sendActionWillStart(m_progress.consumer(), name(), arguments());
}

void TQdmhUploadFilesOperation::didFinishOperation(const TQOperationPtr& operation)
{
    Q_UNUSED(operation);
    QVariant result;
    bool succeeded = false;
    // A folder step that made no collection adds nothing.
    if (stepAnswer(&result, &succeeded) && succeeded && TransferSupport::recordOf<FileEntryAbstract>(result))
        m_results.append(result);
}

void TQdmhUploadFilesOperation::allSuboperationsDidFinish()
{
    Error error = firstError();
    if (error.isNull())
        error = m_missing;
    finishWithResult(m_results, error);
    if (m_progressStarted)
        IProgressConsumer::sendActionDidFinish(m_progress.consumer(), name(), arguments());
}

void TQdmhUploadFilesOperation::actionWillStart(const QString& action, const QVariantMap& arguments)
{
    Q_UNUSED(action);
    Q_UNUSED(arguments);
    m_progress.itemDidStartOrFinish();
}

void TQdmhUploadFilesOperation::actionDidFinish(const QString& action, const QVariantMap& arguments)
{
    Q_UNUSED(action);
    Q_UNUSED(arguments);
    m_progress.itemDidStartOrFinish();
}

void TQdmhUploadFilesOperation::actionDidProgress(const QString& progressID, const QVariantMap& arguments,
                                                  quint64 part, quint64 total)
{
    Q_UNUSED(arguments);
    m_progress.itemDidProgress(progressID, this->arguments(), part, total);
}

} // namespace tavrel
