#include "actions/TQdmhUploadFolderAndContentOperation.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/Category.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"

#include <QDir>
#include <QFileInfo>

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhUploadFolderAndContentOperation)

namespace {
const QString kUploadFile = QStringLiteral("UploadFile");
const QString kUploadFolderAndContent = QStringLiteral("UploadFolderAndContent");
} // namespace

void TQdmhUploadFolderAndContentOperation::setup()
{
    const QVariantMap all = arguments();
    QVariantMap base = TransferSupport::stepArguments(all);
    base.remove(TransferKeys::kFolderURL);
    const QString path = all.value(TransferKeys::kFolderURL).toUrl().toLocalFile();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir()) {
        m_missing = TransferSupport::missingFileError(path.isEmpty() ? QStringLiteral("?") : info.fileName());
        return;
    }
    QVariantMap create = base;
    create.insert(TransferKeys::kNewName, QDir(path).dirName());
    create.insert(TransferKeys::kType, QStringLiteral("folder"));
    m_create = addStep(QStringLiteral("CreateEmptyDocument"), create);
    if (!m_create)
        return;

    m_progress.setConsumer(progressConsumer(), all.value(TransferKeys::kProgressID).toString());
    const bool measured = m_progress.consumerTakesProgress();
    const QFileInfoList entries = QDir(path).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.fileName().startsWith(QLatin1Char('.')))
            continue;
        QVariantMap step = base;
        if (measured) {
            step.insert(kProgressConsumerKey, QVariant::fromValue<QObject*>(this));
            step.insert(TransferKeys::kProgressID,
                        m_progress.addItem(TransferSupport::uploadSizeOfPath(entry.filePath())));
        }
        const bool folder = entry.isDir();
        step.insert(folder ? TransferKeys::kFolderURL : TransferKeys::kFileURL,
                    QUrl::fromLocalFile(entry.filePath()));
        const TQOperationPtr added = addStep(folder ? kUploadFolderAndContent : kUploadFile, step);
        if (added && measured)
            added->setProgressConsumer(this);
    }
}

void TQdmhUploadFolderAndContentOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQTransferAggregateOperation::willStartOperation(operation);
    // The content learns its collection only now: it exists once the first step has run.
    const QString step = operation->name();
    if (m_createdFolder && (step == kUploadFile || step == kUploadFolderAndContent)) {
        QVariantMap arguments = TransferSupport::stepArguments(operation->arguments());
        arguments.insert(TransferKeys::kCollectionEntity, QVariant::fromValue(m_createdFolder));
        operation->setArguments(arguments);
    }
}

void TQdmhUploadFolderAndContentOperation::didFinishOperation(const TQOperationPtr& operation)
{
    QVariant result;
    bool succeeded = false;
    if (operation == m_create && stepAnswer(&result, &succeeded) && succeeded)
        if (const auto folder = TransferSupport::recordOf<Category>(result))
            m_createdFolder = folder;
    // A collection step that answered no collection: the content has nowhere to go.
    if (operation == m_create && !m_createdFolder)
        setOperations({});
}

void TQdmhUploadFolderAndContentOperation::allSuboperationsDidFinish()
{
    Error error = firstError();
    if (error.isNull())
        error = m_missing;
    if (error.isNull() && !m_createdFolder)
        error = VUvodozuManager::unexpectedErrorWithReason(
            QStringLiteral("No collection was made for %1")
                .arg(
                    QFileInfo(arguments().value(TransferKeys::kFolderURL).toUrl().toLocalFile()).fileName()));
    finishWithResult(m_createdFolder ? QVariant::fromValue(m_createdFolder) : QVariant(), error);
}

void TQdmhUploadFolderAndContentOperation::actionWillStart(const QString& action,
                                                           const QVariantMap& arguments)
{
    Q_UNUSED(action);
    Q_UNUSED(arguments);
    m_progress.itemDidStartOrFinish();
}

void TQdmhUploadFolderAndContentOperation::actionDidFinish(const QString& action,
                                                           const QVariantMap& arguments)
{
    Q_UNUSED(action);
    Q_UNUSED(arguments);
    m_progress.itemDidStartOrFinish();
}

void TQdmhUploadFolderAndContentOperation::actionDidProgress(const QString& progressID,
                                                             const QVariantMap& arguments, quint64 part,
                                                             quint64 total)
{
    Q_UNUSED(arguments);
    m_progress.itemDidProgress(progressID, this->arguments(), part, total);
}

} // namespace tavrel
