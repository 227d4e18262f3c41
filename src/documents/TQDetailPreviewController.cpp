#include "documents/TQDetailPreviewController.h"

#include "controls/DocumentPreviewView.h"
#include "model/Category.h"
#include "model/File.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "window/ActionRequests.h"

#include <QFileInfo>
#include <QVBoxLayout>

namespace tavrel {

TQDetailPreviewController::TQDetailPreviewController(QObject* parent)
    : TQViewController(QStringLiteral("FilePreviewView"), parent)
{}

QWidget* TQDetailPreviewController::loadView()
{
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    m_preview = new DocumentPreviewView(view);
    m_preview->setOpenHandler(
        [this] { ResponderChain::send(Commands::openFile, nullptr, nullptr, m_preview); });
    layout->addWidget(m_preview);
    return view;
}

DocumentPreviewView* TQDetailPreviewController::previewView()
{
    view();
    return m_preview;
}

void TQDetailPreviewController::setItem(const ManagedObjectPtr& item)
{
    if (item == m_item)
        return;
    m_item = item;
    m_failed = false;
    if (isInstalled())
        invalidate();
}

void TQDetailPreviewController::viewDidInstall()
{
    TQViewController::viewDidInstall();
    invalidate();
}

void TQDetailPreviewController::invalidate()
{
    DocumentPreviewView* preview = previewView();
    const auto file = std::dynamic_pointer_cast<File>(m_item);
    if (!file) {
        preview->clear();
        return;
    }
    const QUrl url(file->filePath());
    const bool onDisk =
        !file->filePath().isEmpty() && url.isLocalFile() && QFileInfo::exists(url.toLocalFile());
    if (onDisk)
        preview->showFile(url.toLocalFile(), file->title(), file->quotaBytesUsed().toLongLong());
    if ((onDisk && file->isFilePathConsistent()) || m_downloading)
        return;
    if (m_failed) {
        if (!onDisk)
            preview->showError(file->title());
        return;
    }
    if (!onDisk)
        preview->showLoading(file->title());
    m_downloading = true;
    ActionRequests::executeDocumentAction(
        QStringLiteral("GetFile"), Invocation::invocationForSelector(Selectors::downloadDidFinish, this),
        {{QStringLiteral("documentEntity"), QVariant::fromValue(m_item)}});
}

void TQDetailPreviewController::downloadDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQLog("Received action callback");
    m_downloading = false;
    const Error failure = error.value<Error>();
    if (error.isValid() && !failure.isNull()) {
        TQLog("E: Got error on requested operation: %@", failure.localizedDescription());
        m_failed = true;
        // The banner says why the preview stays empty.
        operationDidFinishWithResult(result, error);
    }
    invalidate();
}

} // namespace tavrel
