#include "actions/TQdmhCreateFolderAndGetContentOperation.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/Category.h"
#include "model/File.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/system/TQLog.h"
#include "platform/system/TemporaryFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhCreateFolderAndGetContentOperation)

void TQdmhCreateFolderAndGetContentOperation::setup()
{
    // The collection's records are read here: from this worker's context.
    fetchManagedObjectInCurrentContext();
    const QVariantMap all = arguments();
    const auto collection = TransferSupport::recordOf<Category>(all.value(TransferKeys::kDocumentEntity));
    if (!collection)
        return;
    m_progress.setConsumer(progressConsumer(), all.value(TransferKeys::kProgressID).toString());

    QString parent;
    if (all.contains(TransferKeys::kRootFolderURL)) {
        parent = all.value(TransferKeys::kRootFolderURL).toUrl().toLocalFile();
        if (parent.isEmpty() || !QFileInfo(parent).isDir()) {
            m_setupError = TransferSupport::missingFileError(QFileInfo(parent).fileName());
            return;
        }
    } else {
        parent = TemporaryFiles::URLTempUniqueDirectory().toLocalFile();
    }
    // An existing folder of that name is filled further; a file of that name is left alone.
    QString name = TransferSupport::safeFileName(collection->title());
    const QFileInfo existing(QDir(parent).filePath(name));
    if (existing.exists() && !existing.isDir())
        name = TransferSupport::uniqueFileNameInFolder(parent, name);
    const QString folder = QDir(parent).filePath(name);
    if (parent.isEmpty() || !QDir().mkpath(folder)) {
        m_setupError = TransferSupport::copyFailedError(name);
        return;
    }
    m_rootFolder = folder;
    QVariantMap result = all;
    result.remove(TransferKeys::kRootFolderURL);
    result.remove(TQOperation::kActionIDKey);
    result.remove(kAncestorsKey);
    result.insert(TransferKeys::kFileURL, QUrl::fromLocalFile(folder));
    m_result = result;

    const bool measured = m_progress.consumerTakesProgress();
    QList<std::shared_ptr<FileEntryAbstract>> entries;
    for (const auto& file : collection->files())
        entries.append(file);
    QStringList ancestors = all.value(kAncestorsKey).toStringList();
    ancestors.append(collection->resourceId());
    for (const auto& son : collection->sons()) {
        if (ancestors.contains(son->resourceId())) {
            TQLog("E: CreateFolderAndGetContent: collection %@ holds one of its own ancestors, %@: not "
                  "followed",
                  collection->resourceId(), son->resourceId());
            continue;
        }
        if (ancestors.size() > kMaximumDepth) {
            TQLog("E: CreateFolderAndGetContent: collection %@ lies deeper than %@ levels: not followed",
                  son->resourceId(), QString::number(kMaximumDepth));
            continue;
        }
        entries.append(son);
    }
    for (const auto& entry : entries) {
        QVariantMap step;
        if (measured) {
            step.insert(kProgressConsumerKey, QVariant::fromValue<QObject*>(this));
            step.insert(TransferKeys::kProgressID, m_progress.addItem(entry->quotaBytesUsed().toULongLong()));
        }
        step.insert(TransferKeys::kDocumentEntity, QVariant::fromValue(ManagedObjectPtr(entry)));
        TQOperationPtr added;
        if (std::dynamic_pointer_cast<Category>(entry)) {
            step.insert(TransferKeys::kRootFolderURL, QUrl::fromLocalFile(folder));
            step.insert(kAncestorsKey, ancestors);
            added = addStep(QStringLiteral("CreateFolderAndGetContent"), step);
        } else {
            added = addStep(QStringLiteral("GetFile"), step);
        }
        if (added && measured)
            added->setProgressConsumer(this);
    }
}

void TQdmhCreateFolderAndGetContentOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQTransferAggregateOperation::willStartOperation(operation);
}

void TQdmhCreateFolderAndGetContentOperation::didFinishOperation(const TQOperationPtr& operation)
{
    QVariant result;
    bool succeeded = false;
    if (operation->name() != QLatin1String("GetFile") || !stepAnswer(&result, &succeeded) || !succeeded)
        return;
    const QUrl copy = result.toMap().value(TransferKeys::kFileURL).toUrl();
    if (!copy.isLocalFile() || m_rootFolder.isEmpty())
        return;
    // Two documents of one title both arrive; nothing already in the folder is replaced.
    const QString name = TransferSupport::uniqueFileNameInFolder(m_rootFolder, copy.fileName());
    if (!QFile::copy(copy.toLocalFile(), QDir(m_rootFolder).filePath(name)))
        TQLog("E: CreateFolderAndGetContent: Impossible to copy file %@ at url %@", copy.toString(),
              QUrl::fromLocalFile(m_rootFolder).toString());
}

void TQdmhCreateFolderAndGetContentOperation::allSuboperationsDidFinish()
{
    Error error = firstError();
    if (error.isNull())
        error = m_setupError;
    finishWithResult(m_result, error);
}

void TQdmhCreateFolderAndGetContentOperation::actionWillStart(const QString& action,
                                                              const QVariantMap& arguments)
{
    Q_UNUSED(action);
    Q_UNUSED(arguments);
    m_progress.itemDidStartOrFinish();
}

void TQdmhCreateFolderAndGetContentOperation::actionDidFinish(const QString& action,
                                                              const QVariantMap& arguments)
{
    Q_UNUSED(action);
    Q_UNUSED(arguments);
    m_progress.itemDidStartOrFinish();
}

void TQdmhCreateFolderAndGetContentOperation::actionDidProgress(const QString& progressID,
                                                                const QVariantMap& arguments, quint64 part,
                                                                quint64 total)
{
    Q_UNUSED(arguments);
    m_progress.itemDidProgress(progressID, this->arguments(), part, total);
}

} // namespace tavrel
