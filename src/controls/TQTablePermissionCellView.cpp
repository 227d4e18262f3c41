#include "controls/TQTablePermissionCellView.h"

#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTrackingTextField.h"
#include "controls/TQUISettings.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>

namespace tavrel {

TQTablePermissionCellView::TQTablePermissionCellView(QWidget* parent) : QWidget(parent) {}

TQTablePermissionCellView::~TQTablePermissionCellView() = default;

void TQTablePermissionCellView::setPhotoButton(QWidget* button)
{
    if (m_photoButton)
        m_photoButton->removeEventFilter(this);
    m_photoButton = button;
    if (button) {
        button->setAttribute(Qt::WA_Hover);
        button->installEventFilter(this);
    }
}

void TQTablePermissionCellView::awake()
{
    if (m_textField) {
        m_textField->setFont(Drawing::font(13, QFont::Bold));
        QPalette palette = m_textField->palette();
        palette.setColor(QPalette::Text, TQUISettings::rowTitleTextColor());
        m_textField->setPalette(palette);
    }
    if (m_detailsField) {
        m_detailsField->setFont(Drawing::font(11));
        QPalette palette = m_detailsField->palette();
        palette.setColor(QPalette::WindowText, TQUISettings::rowSubtitleTextColor());
        m_detailsField->setPalette(palette);
    }
    if (auto* cell = m_actionButton ? m_actionButton->cellAs<TQHoverdAdaptorButtonCell>() : nullptr) {
        cell->setHovered(true);
        cell->setHasLink(true);
        cell->setHoverImage(ImageRegistry::pixmap(QStringLiteral("leave-sharing-hover")));
        cell->setRegularImage(ImageRegistry::pixmap(QStringLiteral("leave-sharing-regular")));
        cell->setAlternateImage(ImageRegistry::pixmap(QStringLiteral("leave-sharing-active")));
    }
}

void TQTablePermissionCellView::layoutTitle()
{
    if (!m_textField)
        return;
    const QRect title = m_textField->geometry();
    const bool hasDetails = m_detailsField && !m_detailsField->text().isEmpty();
    if (m_detailsField)
        m_detailsField->setVisible(hasDetails);
    // Measured from the bottom, as the row's design does; widgets measure from the top.
    const qreal bottomUp = hasDetails ? Drawing::floorf(0.66f * float(height()) - title.height() / 2.0)
                                      : Drawing::floorf(height() / 2.0 - title.height() / 2.0);
    m_textField->move(title.x(), int(height() - bottomUp - title.height()));
}

void TQTablePermissionCellView::setDeletable(bool deletable)
{
    if (m_actionButton)
        m_actionButton->setVisible(deletable);
}

void TQTablePermissionCellView::setHovered(bool hovered)
{
    m_hovered = hovered;
    update();
}

void TQTablePermissionCellView::enterEvent(QEnterEvent* event)
{
    setHovered(true);
    QWidget::enterEvent(event);
}

void TQTablePermissionCellView::leaveEvent(QEvent* event)
{
    setHovered(false);
    QWidget::leaveEvent(event);
}

bool TQTablePermissionCellView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_photoButton &&
        (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave)) {
        // The name shows as a link while the pointer is on the photo.
        if (TQHoverableCell* cell = m_textField ? m_textField->hoverCell() : nullptr)
            cell->setHovered(event->type() == QEvent::HoverEnter);
        if (m_textField)
            m_textField->update();
    }
    return QWidget::eventFilter(watched, event);
}

void TQTablePermissionCellView::paintEvent(QPaintEvent* event)
{
    if (!m_hovered)
        return;
    QPainter painter(this);
    painter.fillRect(rect().intersected(event->rect()), Qt::white);
}

} // namespace tavrel
