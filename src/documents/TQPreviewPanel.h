#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

namespace tavrel {

class DocumentPreviewView;
class TQPreviewItemAdapter;

// What controls the preview window while it is open (a document list): it answers the items shown,
// handles the keys the window does not keep for itself, and hears of resizes.
class TQPreviewPanelController
{
public:
    virtual ~TQPreviewPanelController() = default;
    virtual int numberOfPreviewItems() = 0;
    virtual std::shared_ptr<TQPreviewItemAdapter> previewItemAtIndex(int index) = 0;
    // A key press in the window; true when it was handled.
    virtual bool previewPanelHandleEvent(QKeyEvent* event) = 0;
    virtual void previewPanelDidResize() {}
    // The window closed: the controller lets go of it.
    virtual void endPreviewPanelControl() = 0;
};

// The process's one preview window: shows the item its controller answers, reloads when asked, keeps
// the arrow keys for its controller (they walk the list's rows) and closes on Space or Escape. Items
// are local files, or the loading and error pages named by their own addresses.
class TQPreviewPanel : public QWidget
{
    Q_OBJECT
public:
    static inline const QUrl kLoadingPageURL{QStringLiteral("tavrel-preview:preview-loading")};
    static inline const QUrl kErrorPageURL{QStringLiteral("tavrel-preview:preview-error")};

    static TQPreviewPanel* sharedPreviewPanel();
    // The window without making it; null while none was made.
    static TQPreviewPanel* existingPreviewPanel();

    ~TQPreviewPanel() override;

    TQPreviewPanelController* controller() const { return m_controller; }
    // The previous controller, when another, is told that it lost the window.
    void setController(TQPreviewPanelController* controller);
    // Asks the controller for the item again and shows it.
    void reloadData();
    DocumentPreviewView* previewView() const { return m_view; }
    // The item shown, as the controller answered it.
    QUrl currentURL() const { return m_url; }
    QString currentTitle() const { return m_title; }
    void makeKeyAndOrderFront();
    // Centres the window on the screen it is on.
    void center();
    void closePanel();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TQPreviewPanel();

    DocumentPreviewView* m_view = nullptr;
    TQPreviewPanelController* m_controller = nullptr;
    QUrl m_url;
    QString m_title;
};

} // namespace tavrel
