#include "actions/TQdmhGenerateThumbnailOperation.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/File.h"
#include "model/TQCacheManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/TQSessionProtocol.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/system/TQLog.h"
#include "platform/system/TemporaryFiles.h"
#include "platform/system/Thumbnails.h"

#include <QFile>
#include <QImageWriter>
#include <QSaveFile>

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhGenerateThumbnailOperation)

void TQdmhGenerateThumbnailOperation::performOperation()
{
    const QVariantMap all = arguments();
    const QUrl fileURL = all.value(TransferKeys::kFileURL).toUrl();
    const auto record = TransferSupport::recordOf<File>(all.value(TransferKeys::kDocumentEntity));
    TQCacheManager* cache = session() ? session()->cacheManager() : nullptr;
    if (fileURL.isEmpty() || !record) {
        TQLog("E: GenerateThumbnail is called with invalid arguments");
        finishWith(all, {}, Error(kErrorDomain, -1001));
        return;
    }
    const QString title = record->title();
    if (cache) {
        const QUrl existing = cache->searchObject(record.get(), kTQCacheTypeFileThumbnail);
        if (!existing.isEmpty()) {
            finishWith(all, existing, Error());
            return;
        }
    }
    const QImage picture = Thumbnails::thumbnailForFile(fileURL.toLocalFile(), kThumbnailSize);
    if (picture.isNull()) {
        TQLog("E: QuickLook cannot generate CGImage thumbnail for: %@", title);
        finishWith(all, {}, Error(kErrorDomain, -1002));
        return;
    }
    if (isCancelled()) {
        setFinished(true);
        return;
    }
    const QUrl temporary = TemporaryFiles::URLTempUniqueFileWithExtension(QStringLiteral("png"));
    QSaveFile file(temporary.toLocalFile());
    QImageWriter writer(&file, "png");
    const bool opened = !temporary.isEmpty() && file.open(QIODevice::WriteOnly);
    if (opened && !writer.write(picture)) {
        file.cancelWriting();
        QFile::remove(temporary.toLocalFile());
        TQLog("E: Cannot create imageRep for: %@", title);
        finishWith(all, {}, Error(kErrorDomain, -1003));
        return;
    }
    // A thumbnail that could not be kept is no success: the next read asks again.
    if (!opened || !file.commit()) {
        if (!temporary.isEmpty())
            QFile::remove(temporary.toLocalFile());
        TQLog("E: Cannot store to TMP generated thumbnail for: %@", title);
        finishWith(all, {}, TransferSupport::copyFailedError(title));
        return;
    }
    if (isCancelled()) {
        QFile::remove(temporary.toLocalFile());
        setFinished(true);
        return;
    }
    QUrl thumbnail;
    if (cache && !cache->addData({{kTQCacheTypeFileThumbnail, temporary}}, record.get()).isEmpty())
        thumbnail = cache->searchObject(record.get(), kTQCacheTypeFileThumbnail);
    QFile::remove(temporary.toLocalFile());
    if (thumbnail.isEmpty()) {
        TQLog("E: Cannot cache generated thumbnail for: %@", title);
        finishWith(all, {}, TransferSupport::copyFailedError(title));
        return;
    }
    finishWith(all, thumbnail, Error());
}

void TQdmhGenerateThumbnailOperation::finishWith(const QVariantMap& arguments, const QUrl& thumbnail,
                                                 const Error& error)
{
    if (!isCancelled()) {
        QVariantMap result = arguments;
        if (thumbnail.isEmpty())
            result.remove(TransferKeys::kFileURL);
        else
            result.insert(TransferKeys::kFileURL, thumbnail);
        result.insert(QStringLiteral("error"), TransferSupport::errorValue(error));
        performCallbackWithResult(result, TransferSupport::errorValue(error));
        TQMOCManager* store = session() ? session()->mocManager() : nullptr;
        TQMOCMasterUpdater* updater = store && store->masterMOC() ? store->masterMOC()->updater() : nullptr;
        const auto record = TransferSupport::recordOf<File>(arguments.value(TransferKeys::kDocumentEntity));
        if (updater && record)
            updater->documentPreviewGeneratedAtURL(record, thumbnail, TransferSupport::errorValue(error));
    }
    setFinished(true);
}

} // namespace tavrel
