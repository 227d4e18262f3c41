#pragma once

#include "platform/store/ManagedObject.h"
#include "window/TQViewController.h"

namespace tavrel {

class DocumentPreviewView;

// The detail view's preview tab while the program has no preview controller of its own: the
// document's cached copy drawn by DocumentPreviewView, downloaded once when there is none yet (the
// loading page meanwhile, the error page and the banner when the download fails).
class TQDetailPreviewController : public TQViewController
{
    Q_OBJECT
    Q_PROPERTY(QVariant item READ itemValue WRITE setItemValue)
public:
    explicit TQDetailPreviewController(QObject* parent = nullptr);

    ManagedObjectPtr item() const { return m_item; }
    void setItem(const ManagedObjectPtr& item);
    QVariant itemValue() const { return QVariant::fromValue(m_item); }
    void setItemValue(const QVariant& value) { setItem(value.value<ManagedObjectPtr>()); }
    DocumentPreviewView* previewView();
    bool isDownloading() const { return m_downloading; }

    void viewDidInstall() override;
    // Shows what the record has now; downloads when nothing is cached.
    Q_INVOKABLE void invalidate();
    Q_INVOKABLE void downloadDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QWidget* loadView() override;

private:
    ManagedObjectPtr m_item;
    DocumentPreviewView* m_preview = nullptr;
    bool m_downloading = false;
    bool m_failed = false;
};

} // namespace tavrel
