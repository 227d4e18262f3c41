#pragma once

#include "controls/TQHostView.h"

namespace tavrel {

class Notification;

// A host view that outlines itself while a list beside it frames a drop target: it follows the list's
// "TQDragAreaHighlightNotification" and "TQDragAreaCleanNotification" for as long as it has a parent.
class TQHighlightHostView : public TQHostView
{
    Q_OBJECT
public:
    explicit TQHighlightHostView(QWidget* parent = nullptr);
    ~TQHighlightHostView() override;

    bool highlightDrag() const { return m_highlightDrag; }
    void setHighlightDrag(bool highlight);

    // The outline is on exactly after a highlight notification.
    void toggleHighlight(const Notification& notification);

    // The outline's colour and width.
    static QColor highlightColor();
    static constexpr int kHighlightWidth = 3;

protected:
    bool event(QEvent* event) override;
    void drawRect(QPainter& painter) override;

private:
    void observeDragArea(bool observe);
    bool m_highlightDrag = false;
    bool m_observing = false;
};

} // namespace tavrel
