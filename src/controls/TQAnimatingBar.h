#pragma once

#include "controls/TQHostView.h"

namespace tavrel {

// The bar of action buttons a document list lays over the hovered row. Its buttons start at one
// common place; layoutSubviews fans them out to the left, 6 points apart, the last one staying put.
// When the table takes it away, the buttons fold back onto the last one while the bar fades out, and
// the bar then leaves the table on the next turn of the event loop, turning the table's selection
// highlight back on. Clicks on the bar never reach what lies beneath it.
class TQAnimatingBar : public TQHostView
{
    Q_OBJECT
public:
    explicit TQAnimatingBar(QWidget* parent = nullptr);
    ~TQAnimatingBar() override;

    void layoutSubviews();
    void scheduleRemoveFromSuperview();
    // Turns the table's selection highlight back on, then leaves it.
    void removeFromSuperview();
    bool isRemovalScheduled() const { return m_removing; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void drawRect(QPainter& painter) override;

private:
    QList<QWidget*> buttons() const;
    void animationDidStop(bool doRemoving);

    bool m_removing = false;
};

} // namespace tavrel
