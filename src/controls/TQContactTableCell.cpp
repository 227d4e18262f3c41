#include "controls/TQContactTableCell.h"

#include "controls/RowTextCell.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQPhotoSubcell.h"
#include "controls/TQUISettings.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QPainter>
#include <cfloat>

namespace tavrel {

namespace {
qreal floorf(qreal value)
{
    return Drawing::floorf(value);
}
} // namespace

TQContactTableCell::TQContactTableCell(const QString& title) : TQShadowedCell(title)
{
    setFont(Drawing::font(13, QFont::Bold));
    setTextColor(TQUISettings::rowTitleTextColor());
    setTitle(title);
    // Made now so that every copy shares them.
    detailsCell();
    sharedActionCell();
}

// --- Content ---

QString TQContactTableCell::title() const
{
    return textCell().title();
}

void TQContactTableCell::setTitle(const QString& title)
{
    textCell().setTitle(title.isNull() ? QStringLiteral("") : title);
    TQShadowedCell::setTitle(title);
}

QString TQContactTableCell::details() const
{
    return detailsCell().title();
}

void TQContactTableCell::setDetails(const QString& details)
{
    detailsCell().setTitle(details.isNull() ? QStringLiteral("") : details);
}

QPixmap TQContactTableCell::photo() const
{
    return m_photoCell ? m_photoCell->image() : QPixmap();
}

void TQContactTableCell::setPhoto(const QPixmap& photo)
{
    if (!m_photoCell)
        m_photoCell = TQPhotoSubcell::cell();
    m_photoCell->setImage(photo);
}

QString TQContactTableCell::count() const
{
    return actionCell().attributedTitle().text;
}

void TQContactTableCell::setCount(const QString& count)
{
    TQHoverdButtonCell& action = actionCell();
    if (count.isNull()) {
        action.setHoverImage(ImageRegistry::pixmap(QStringLiteral("share2_hover")));
        action.setAlternateImage(ImageRegistry::pixmap(QStringLiteral("share2_active")));
        return;
    }
    BasicButtonCell::AttributedText text;
    text.text = count;
    text.font = Drawing::font(12, QFont::Bold);
    text.color = TQUISettings::rowSubtitleTextColor();
    text.alignment = Qt::AlignHCenter;
    action.setAttributedTitle(text);
    // The number stands on the badge.
    action.setImagePosition(BasicButtonCell::ImageOverlaps);
    action.setHoverImage(ImageRegistry::pixmap(QStringLiteral("files_hover")));
    action.setAlternateImage(ImageRegistry::pixmap(QStringLiteral("files_active")));
}

bool TQContactTableCell::shouldAnimateActionButton() const
{
    return actionCell().shouldAnimateHover();
}

void TQContactTableCell::setShouldAnimateActionButton(bool animate)
{
    actionCell().setShouldAnimateHover(animate);
}

QColor TQContactTableCell::detailsTextColor()
{
    return TQUISettings::rowSubtitleTextColor();
}

// --- Subcells ---

RowTextCell& TQContactTableCell::textCell() const
{
    if (!m_textCell)
        m_textCell = std::make_shared<RowTextCell>(QStringLiteral(""), Drawing::font(13, QFont::Bold),
                                                   TQUISettings::rowTitleTextColor());
    return *m_textCell;
}

RowTextCell& TQContactTableCell::detailsCell() const
{
    if (!m_detailsCell)
        m_detailsCell = std::make_shared<RowTextCell>(QStringLiteral(""), Drawing::font(11),
                                                      TQUISettings::rowSubtitleTextColor());
    return *m_detailsCell;
}

std::shared_ptr<TQHoverdButtonCell> TQContactTableCell::makeActionCell()
{
    return std::make_shared<TQHoverdAdaptorButtonCell>(QStringLiteral(""));
}

std::shared_ptr<TQHoverdButtonCell> TQContactTableCell::sharedActionCell() const
{
    if (!m_actionCell) {
        m_actionCell = makeActionCell();
        m_actionCell->setButtonType(BasicButtonCell::MomentaryChangeButton);
        m_actionCell->setBezeled(false);
        m_actionCell->setBordered(false);
        m_actionCell->setHovered(false);
    }
    return m_actionCell;
}

TQHoverdButtonCell& TQContactTableCell::actionCell() const
{
    return *sharedActionCell();
}

void TQContactTableCell::setControlView(QWidget* view)
{
    if (auto* photo = dynamic_cast<BasicButtonCell*>(m_photoCell.get()))
        photo->setControlView(view);
    textCell().setControlView(view);
    detailsCell().setControlView(view);
    actionCell().setControlView(view);
}

void TQContactTableCell::setSelected(bool selected)
{
    TQShadowedCell::setSelected(selected);
    actionCell().setSelected(selected);
}

void TQContactTableCell::buttonClicked()
{
    if (const Action action = m_buttonAction)
        action(*this);
}

void TQContactTableCell::linkClicked()
{
    if (const Action action = m_linkAction)
        action(*this);
}

// --- Layout ---

QRectF TQContactTableCell::frameForPhotoCellInBounds(const QRectF& b) const
{
    return {b.x() + 10, floorf(b.y() + (b.height() - 40) / 2), 40, 40};
}

QRectF TQContactTableCell::frameForActionCellInBounds(const QRectF& b) const
{
    return {b.x() + b.width() - 32 - 14, floorf(b.y() + (b.height() - 33) / 2), 32, 33};
}

QRectF TQContactTableCell::frameForTitleCellInBounds(const QRectF& b, qreal* maxWidth) const
{
    const QRectF photo = frameForPhotoCellInBounds(b);
    const QRectF action = frameForActionCellInBounds(b);
    const qreal left = photo.x() + photo.width() + 8;
    const qreal available = b.width() - (photo.x() + photo.width() + 8 + 20 + action.width() + 14);
    const QSizeF natural = textCell().cellSize(QSizeF(FLT_MAX, 26));
    const qreal width = natural.width() < available ? natural.width() : available;
    const qreal top = details().isEmpty() ? floorf(b.y() + (b.height() - natural.height()) / 2) : b.y() + 8;
    if (maxWidth)
        *maxWidth = available;
    return {left, top, width, natural.height()};
}

QRectF TQContactTableCell::frameForDetailsCellInBounds(const QRectF& b) const
{
    if (details().isEmpty())
        return {};
    qreal available = 0;
    const QRectF title = frameForTitleCellInBounds(b, &available);
    const qreal height = detailsCell().cellSize(title.size()).height();
    return {title.x(), b.y() + b.height() - 8 - height, available, height};
}

QSizeF TQContactTableCell::cellSize(const QSizeF&) const
{
    return {172, 48};
}

void TQContactTableCell::setTitleAttributeLink(bool link)
{
    textCell().setUnderlined(link);
}

QRectF TQContactTableCell::editingFrame(const QRectF& cellFrame) const
{
    qreal available = 0;
    const QRectF title = frameForTitleCellInBounds(cellFrame, &available);
    return {title.x(), title.y(), available, title.height()};
}

QFont TQContactTableCell::editingFont() const
{
    return textCell().font();
}

// --- Drawing ---

bool TQContactTableCell::mouseIn(const QRectF& frame, CellHost& host)
{
    return frameContains(frame, host.mousePosition());
}

void TQContactTableCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    if (m_photoCell)
        m_photoCell->paint(painter, frameForPhotoCellInBounds(frame), host);

    qreal available = 0;
    const QRectF title = frameForTitleCellInBounds(frame, &available);
    if (m_hasLink && (mouseIn(title, host) || mouseIn(frameForPhotoCellInBounds(frame), host))) {
        setTitleAttributeLink(true);
        if (host.hostCursor() != Qt::PointingHandCursor)
            host.setHostCursor(Qt::PointingHandCursor);
    } else {
        setTitleAttributeLink(false);
        if (host.hostCursor() == Qt::PointingHandCursor)
            host.unsetHostCursor();
    }

    if (m_showsEditor)
        drawEditingRing(painter,
                        QRectF(title.x(), title.y(), available, title.height()).adjusted(-3, -3, 3, 3));
    else
        textCell().paint(painter, title, host);

    if (!details().isEmpty())
        detailsCell().paint(painter, frameForDetailsCellInBounds(frame), host);

    const QRectF action = frameForActionCellInBounds(frame);
    TQHoverdButtonCell& button = actionCell();
    button.setSelected(isSelected());
    button.setHovered(m_hoverActionButtonInFrameOnly ? mouseIn(action, host) : mouseIn(frame, host));
    button.setLastFrame(action);
    button.paint(painter, action, host);

    TQShadowedCell::drawInterior(painter, frame, host);
}

// --- The mouse ---

TQContactTableCell::Part TQContactTableCell::partAt(const QPointF& point, const QRectF& frame) const
{
    if (frameContains(frameForPhotoCellInBounds(frame), point))
        return PhotoPart;
    if (frameContains(titleRectForBounds(frame), point))
        return TitlePart;
    if (frameContains(frameForDetailsCellInBounds(frame), point))
        return DetailsPart;
    if (frameContains(frameForActionCellInBounds(frame), point))
        return ActionPart;
    return NoPart;
}

Cell::HitResults TQContactTableCell::hitTest(const QPointF& point, const QRectF& frame) const
{
    switch (partAt(point, frame)) {
    case PhotoPart: {
        // Without a photo the area still counts as a link.
        const QRectF photo = frameForPhotoCellInBounds(frame);
        return (m_photoCell ? m_photoCell->hitTest(point, photo) : ContentArea) | TrackableArea;
    }
    case TitlePart:
        return textCell().hitTest(point, titleRectForBounds(frame)) | TrackableArea;
    case DetailsPart:
        return detailsCell().hitTest(point, frameForDetailsCellInBounds(frame));
    case ActionPart:
        return actionCell().hitTest(point, frameForActionCellInBounds(frame));
    default:
        return ContentArea;
    }
}

bool TQContactTableCell::mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host)
{
    m_pressClickCount = event.clickCount;
    return pressPart(partAt(event.position, frame), event, frame, host);
}

bool TQContactTableCell::pressPart(Part part, const CellMouseEvent& event, const QRectF& frame,
                                   CellHost& host)
{
    switch (part) {
    case PhotoPart: {
        // A plain photo decides on the press; a single click is a link click whether or not it acted.
        const bool tracks = m_tracker.press(m_photoCell, part, event, frame, host);
        if (event.clickCount == 1)
            linkClicked();
        return tracks;
    }
    case TitlePart:
        return m_tracker.press(m_textCell, part, event, frame, host);
    case DetailsPart:
        return m_tracker.press(m_detailsCell, part, event, frame, host);
    case ActionPart:
        actionCell().setLastFrame(frameForActionCellInBounds(frame));
        return m_tracker.press(m_actionCell, part, event, frame, host);
    default:
        return false;
    }
}

void TQContactTableCell::mouseDragged(const CellMouseEvent& event, CellHost& host)
{
    m_tracker.drag(event, host);
}

bool TQContactTableCell::mouseReleased(const CellMouseEvent& event, CellHost& host)
{
    const int part = m_tracker.part();
    const bool inside = m_tracker.release(event, host);
    if (part >= 0)
        partReleased(Part(part), inside);
    return inside;
}

void TQContactTableCell::partReleased(Part part, bool inside)
{
    if (part == TitlePart && m_pressClickCount == 1)
        linkClicked();
    else if (part == ActionPart && inside)
        buttonClicked();
}

void TQContactTableCell::cancelTracking(CellHost& host)
{
    m_tracker.cancel(host);
}

} // namespace tavrel
