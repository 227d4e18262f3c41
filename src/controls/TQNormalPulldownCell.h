#pragma once

#include "controls/BasicPopUpButtonCell.h"

namespace tavrel {

// A pull-down drawn as an image-filled button with rounded corners and a centred grey title. Each time
// its menu opens it enables every item but the first (the title item) by asking the item's target.
class TQNormalPulldownCell : public BasicPopUpButtonCell
{
    TAVREL_CELL(TQNormalPulldownCell)
public:
    explicit TQNormalPulldownCell(const QString& title = QStringLiteral(""), bool pullsDown = true);

    // The title's style: regular 12, dark grey, left aligned.
    AttributedText styler() const { return m_styler; }

    virtual QColor borderColor() const;
    virtual QColor borderShadowColor() const { return {}; }
    virtual QPixmap activeImage() const;
    virtual QPixmap regularImage() const;

    // Every item after the first is enabled exactly when its target validates it.
    void menuWillOpen(QMenu* menu) override;
    void drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    AttributedText m_styler;
};

} // namespace tavrel
