#pragma once

#include "controls/TQRadioButtonbar.h"
#include "platform/runtime/Timing.h"
#include "session/ConnectionStatus.h"

#include <QPointer>
#include <QTimer>

class QAbstractButton;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;

namespace tavrel {

class ConnectionStatus;
class Notification;

// The dark strip at the left of the main window: a plaque at the top and under it a column of mode
// buttons, exactly one on. It is a drop target: a drag resting a second on a button the delegate lets
// switch activates that mode, so the user can drop into its list; a drag cancelled after such a switch
// brings back the mode that was on before. The delegate (the sidebar controller) validates and
// performs the drops. While offline a red frame surrounds the plaque.
class TQSidebar : public TQRadioButtonbar
{
    Q_OBJECT
public:
    static inline const Timing kAutoactivationDelay{"sidebarAutoactivationDelay", 1000};
    static constexpr int kWidth = 72;
    static constexpr int kButtonSize = 40;
    static constexpr int kGap = 8;
    static constexpr int kPlaqueToButtons = 18;

    explicit TQSidebar(QWidget* parent = nullptr);
    ~TQSidebar() override;

    QAbstractButton* imagePlaque() const { return m_imagePlaque; }
    void setImagePlaque(QAbstractButton* plaque);
    // The mode buttons get their "_active" highlight and "_on" images, and the notifications are observed.
    void awakeFromNib() override;
    void layoutButtons() override;

    QAbstractButton* activatingButton() const { return m_activatingButton; }
    QAbstractButton* storredButton() const { return m_storredButton; }
    bool hasPendingActivation() const { return m_activator.isActive(); }
    // The connection status the frame follows: the program's unless one is set.
    ConnectionStatus* connectionStatus() const;
    void setConnectionStatus(ConnectionStatus* status) { m_connectionStatus = status; }
    // Whether the red frame is drawn now.
    bool drawsOfflineFrame() const;
    QRect offlineFrameRect() const;

    // The timer's action.
    void itemActivationConfirmed();
    void cleanupDragging();

    // The drag protocol, also driven by tests with synthetic events. Each answers the drop action.
    Qt::DropAction draggingEntered(QDropEvent* event);
    Qt::DropAction draggingUpdated(QDropEvent* event);
    bool prepareForDragOperation(QDropEvent* event);
    bool performDragOperation(QDropEvent* event);
    void draggingExited();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void onStatusDidChange(const Notification& notification);
    void onDragSessionDidCancel(const Notification& notification);
    void setHighlighted(QAbstractButton* button, bool highlighted);

    QPointer<QAbstractButton> m_imagePlaque;
    QTimer m_activator;
    QPointer<QAbstractButton> m_activatingButton;
    QPointer<QAbstractButton> m_storredButton;
    qint64 m_draggingSession = -1;
    QPointer<ConnectionStatus> m_connectionStatus;
};

} // namespace tavrel
