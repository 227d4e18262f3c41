#pragma once

#include "controls/TQTableView.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/MessageNames.h"

namespace tavrel {

// The contacts list's table: while an acceptable drag rests over a row it fades in the flyer (a view
// holding a TQDraggingMatrix, one cell per role) exactly over that row; the drop can only land on the
// flyer, as the table itself answers no operation. The flyer fades out when the drag moves to another
// row, leaves the list other than onto the flyer, ends, or the application becomes inactive.
class TQFlyerTableView : public TQTableView
{
    Q_OBJECT
public:
    static inline const QString kTQUninstallFlyerNotification = Notifications::uninstallFlyer;
    static inline const QString kDropLocationKey = QStringLiteral("DropLocation");

    explicit TQFlyerTableView(QWidget* parent = nullptr);
    ~TQFlyerTableView() override;

    QWidget* flyer() const { return m_flyer; }
    void setFlyer(QWidget* flyer);
    int dropRow() const { return m_dropRow; }
    void setDropRow(int row) { m_dropRow = row; }

    // Shows the flyer over dropRow unless it is shown or still fading out.
    void installFlyer();
    // Fades it out; it counts as shown until the fade has finished.
    void uninstallFlyer();
    bool isFlyerShown() const;

protected:
    Qt::DropAction draggingEntered(QDropEvent* event) override;
    Qt::DropAction draggingUpdated(QDropEvent* event) override;
    void draggingExited() override;
    bool prepareForDragOperation(QDropEvent* event) override;
    void concludeDragOperation() override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;

private:
    void onFlyerRequestedUninstall(const QVariantMap& userInfo);
    void observe(bool observing);
    void followDrop(QDropEvent* event);

    QPointer<QWidget> m_flyer;
    int m_dropRow = -1;
    bool m_observing = false;
    QPoint m_lastDragPosition;
    QMetaObject::Connection m_applicationState;
    NotificationCenter::ObserverId m_observer{};
};

} // namespace tavrel
