#include "controls/TQTrackingTextField.h"

#include "controls/TQHoverableCell.h"
#include "controls/TextFieldCell.h"
#include "platform/ui/ResponderChain.h"

#include <QKeyEvent>
#include <QPainter>

namespace tavrel {

TQTrackingTextField::TQTrackingTextField(QWidget* parent) : TQTrackingTextField(QString(), parent) {}

TQTrackingTextField::TQTrackingTextField(const QString& text, QWidget* parent) : QLineEdit(text, parent)
{
    setMouseTracking(true);
    setCell(std::make_shared<TextFieldCell>());
    connect(this, &QLineEdit::textChanged, this, [this](const QString& value) {
        m_cell->setTitle(value);
        update();
    });
}

void TQTrackingTextField::setCell(std::shared_ptr<Cell> cell)
{
    m_cell = cell ? std::move(cell) : std::make_shared<TextFieldCell>();
    m_cell->setTitle(text());
    m_cell->setFont(font());
    m_cell->setEnabled(isEnabled());
    update();
}

TQHoverableCell* TQTrackingTextField::hoverCell() const
{
    return TQHoverableCell::from(m_cell.get());
}

void TQTrackingTextField::setEditable(bool editable)
{
    setReadOnly(!editable);
    update();
}

QRectF TQTrackingTextField::textArea() const
{
    const QRectF bounds(rect());
    return {bounds.x(), bounds.y(), m_cell->cellSize(bounds.size()).width(), bounds.height()};
}

QWidget* TQTrackingTextField::hostWidget() const
{
    return const_cast<TQTrackingTextField*>(this);
}

void TQTrackingTextField::paintEvent(QPaintEvent* event)
{
    // Editing, or showing a selection made with the mouse, the line edit draws itself.
    if (isEditable() || hasSelectedText()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_cell->paint(painter, QRectF(rect()), *this);
}

void TQTrackingTextField::setCellHovered(bool hovered)
{
    if (TQHoverableCell* cell = hoverCell())
        cell->setHovered(hovered);
    update();
}

void TQTrackingTextField::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !isEditable() &&
        Cell::frameContains(textArea(), event->position())) {
        // The field tracks the click itself until the button goes up: no timer, no drag threshold.
        m_tracking = true;
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void TQTrackingTextField::mouseMoveEvent(QMouseEvent* event)
{
    const bool overText = Cell::frameContains(textArea(), event->position());
    if (m_tracking) {
        if (event->buttons() & Qt::LeftButton)
            setCellHovered(overText);
        event->accept();
        return;
    }
    if (event->buttons() == Qt::NoButton && isEnabled())
        setCellHovered(overText);
    QLineEdit::mouseMoveEvent(event);
}

void TQTrackingTextField::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_tracking || event->button() != Qt::LeftButton) {
        QLineEdit::mouseReleaseEvent(event);
        return;
    }
    m_tracking = false;
    event->accept();
    QPointer<TQTrackingTextField> guard(this);
    const std::shared_ptr<Cell> cell = m_cell;
    if (Cell::frameContains(textArea(), event->position()))
        cell->sendAction(*this);
    if (TQHoverableCell* hoverable = TQHoverableCell::from(cell.get()))
        hoverable->setHovered(false);
    if (guard)
        update();
}

void TQTrackingTextField::enterEvent(QEnterEvent* event)
{
    QLineEdit::enterEvent(event);
    if (isEnabled() && Cell::frameContains(textArea(), event->position()))
        setCellHovered(true);
}

void TQTrackingTextField::leaveEvent(QEvent* event)
{
    QLineEdit::leaveEvent(event);
    if (isEnabled())
        setCellHovered(false);
}

void TQTrackingTextField::keyPressEvent(QKeyEvent* event)
{
    const bool returnKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (returnKey && isEditable() && !m_endEditAction.isEmpty()) {
        event->accept();
        textDidEndEditing(true);
        return;
    }
    if (returnKey && isEditable() && m_editing)
        textDidEndEditing(true);
    QLineEdit::keyPressEvent(event);
}

void TQTrackingTextField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    m_editing = isEditable();
}

void TQTrackingTextField::focusOutEvent(QFocusEvent* event)
{
    if (m_editing)
        textDidEndEditing(false);
    QLineEdit::focusOutEvent(event);
}

void TQTrackingTextField::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        m_cell->setEnabled(isEnabled());
        if (!isEnabled())
            m_tracking = false;
    } else if (event->type() == QEvent::FontChange) {
        m_cell->setFont(font());
    }
}

void TQTrackingTextField::textDidEndEditing(bool byReturn)
{
    if (!m_endEditAction.isEmpty()) {
        m_editing = false;
        QPointer<TQTrackingTextField> guard(this);
        ResponderChain::send(m_endEditAction, this, m_target);
        // The edit is over: the keyboard leaves the field.
        if (guard && hasFocus())
            clearFocus();
        return;
    }
    // Return ends one edit and sends the field's command; the field keeps the keyboard, and the next
    // change starts another edit. Losing the keyboard ends the edit without the command.
    m_editing = byReturn;
    if (byReturn && !m_action.isEmpty())
        ResponderChain::send(m_action, this, m_target);
}

} // namespace tavrel
