#pragma once

#include "lists/TQItemDetailsController.h"

#include <QImage>
#include <QLabel>
#include <QMutex>
#include <QPointer>
#include <QSize>
#include <QUrl>
#include <functional>

class QThread;

namespace tavrel {

class SpinningIndicator;
class TQHostView;

// The preview tab of a document's detail view: a picture of the document's content at the size of
// the tab, drawn on a thread of its own from the cached copy (downloaded first when there is none),
// and opened by a double click. A collection has no picture. The picture is drawn again only when the
// tab's size changes. Main thread only, but for the drawing.
class TQFilePreviewController : public TQItemDetailsController
{
    Q_OBJECT
public:
    // Makes a picture of a file's content of at most that size; a null image when it cannot.
    using Thumbnailer = std::function<QImage(const QString& path, const QSize& size)>;

    explicit TQFilePreviewController(QObject* parent = nullptr);
    ~TQFilePreviewController() override;

    // The project's thumbnailer unless set (tests give their own).
    void setThumbnailer(Thumbnailer thumbnailer) { m_thumbnailer = std::move(thumbnailer); }
    void setItem(const ManagedObjectPtr& item) override;

    TQHostView* previewHolder();
    QLabel* errorLabel();
    SpinningIndicator* progress();
    // A download or a drawing is under way.
    bool isProcessed() const { return m_processed; }
    void setIsProcessed(bool processed);
    // The last picture drawn, kept across refreshes.
    QImage preview() const;
    // Where the record's cached copy is: made the first time the record has one, kept from then on.
    QUrl itemURL();

    void viewDidInstall() override;
    void viewDidUninstall() override;
    // Shows the picture, or starts the download or the drawing it needs.
    void refresh() override;
    // Draws the picture of the cached copy on a thread of its own, at the holder's size.
    void generatePreview();
    Q_INVOKABLE void downloadDidFinishWithResult(const QVariant& result, const QVariant& error);
    // The drawing's end: shows the picture, or the error label when there is none.
    Q_INVOKABLE void notifyPreviewUpdate();

    Q_INVOKABLE void openFile(QObject* sender);
    Q_INVOKABLE void openInBrowser(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

signals:
    // A drawing ended and its outcome is shown.
    void previewDidUpdate();

protected:
    QWidget* loadView() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutPreview();
    void scheduleRefresh();
    bool isCollection() const;

    Thumbnailer m_thumbnailer;
    QPointer<TQHostView> m_previewHolder;
    QPointer<QLabel> m_errorLabel;
    QPointer<SpinningIndicator> m_progress;
    bool m_processed = false;
    bool m_refreshScheduled = false;
    mutable QMutex m_lock;
    QImage m_preview;
    // The holder's size the picture was drawn for.
    QSize m_previewHolderSize;
    QUrl m_itemURL;
    QThread* m_drawing = nullptr;
};

} // namespace tavrel
