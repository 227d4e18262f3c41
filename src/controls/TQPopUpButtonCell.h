#pragma once

#include "controls/BasicPopUpButtonCell.h"

namespace tavrel {

// A pop-up face with the selected item's image and a bold grey title, or a fixed title of its own that
// stays whatever is selected (then without the image, after the image's space).
class TQPopUpButtonCell : public BasicPopUpButtonCell
{
    TAVREL_CELL(TQPopUpButtonCell)
public:
    explicit TQPopUpButtonCell(const QString& title = QStringLiteral(""), bool pullsDown = false);

    // A null title shows the selected item's.
    QString fixedTitle() const { return m_fixedTitle; }
    void setFixedTitle(const QString& title) { m_fixedTitle = title; }
    // The title's style: bold 12, grey, left aligned.
    AttributedText styler() const { return m_styler; }

    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    QString m_fixedTitle;
    AttributedText m_styler;
};

} // namespace tavrel
