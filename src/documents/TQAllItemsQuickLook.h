#pragma once

#include "documents/TQPreviewPanel.h"
#include "platform/store/ManagedObject.h"

#include <QObject>
#include <QSet>

namespace tavrel {

class TQAllItemsController;

// The document list's side of the preview window: the Space key and the Preview command open it on
// the selected record (from the cache when the copy is current, otherwise under the loading page
// while the copy downloads at high priority, and again when it has arrived), a collection as its
// generated page at 710 x 444, and while it is open the arrow keys in it walk the list's rows.
class TQAllItemsQuickLook : public QObject, public TQPreviewPanelController
{
    Q_OBJECT
public:
    static constexpr int kCollectionPanelWidth = 710;
    static constexpr int kCollectionPanelHeight = 444;
    // The operation priority of the download.
    static constexpr int kHighQueuePriority = 4;

    explicit TQAllItemsQuickLook(TQAllItemsController* list);
    ~TQAllItemsQuickLook() override;

    // Opens or refreshes the window for the selection.
    void activateQuickLook();
    // Space: closes the window this list shows, otherwise opens it.
    void toggleQuickLook();
    bool isControllingPanel() const;
    // Whether the loading overlay is over the window (a download runs for the record shown).
    bool overlayShown() const { return m_overlayShown; }
    // A download asked for by the preview has not answered yet.
    bool hasDownloadsInFlight() const { return m_pending > 0; }

    Q_INVOKABLE void getForQLDidFinishWithResult(const QVariant& result, const QVariant& error);

    int numberOfPreviewItems() override;
    std::shared_ptr<TQPreviewItemAdapter> previewItemAtIndex(int index) override;
    bool previewPanelHandleEvent(QKeyEvent* event) override;
    void previewPanelDidResize() override;
    void endPreviewPanelControl() override;

private:
    void removeOverlay() { m_overlayShown = false; }
    ManagedObjectPtr lastSelectedRecord() const;

    TQAllItemsController* m_list;
    bool m_controlling = false;
    bool m_overlayShown = false;
    // The records whose download runs, so that walking back and forth asks for each once.
    QSet<QString> m_downloading;
    int m_pending = 0;
};

} // namespace tavrel
