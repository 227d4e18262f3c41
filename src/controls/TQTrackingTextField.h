#pragma once

#include "platform/ui/Cell.h"
#include "platform/ui/CellHost.h"

#include <QLineEdit>
#include <QPointer>
#include <memory>

namespace tavrel {

class TQHoverableCell;

// A text field that behaves as a link while it is not editable: its cell draws the text and is told
// when the mouse is over the text (not over the rest of the field), and a click released over the
// text sends the cell's action with the field as sender. While editable it is an ordinary line edit,
// except that ending the edit can send a separate end-edit command, and then always takes the
// keyboard away from the field.
class TQTrackingTextField : public QLineEdit, public CellHost
{
    Q_OBJECT
public:
    explicit TQTrackingTextField(QWidget* parent = nullptr);
    explicit TQTrackingTextField(const QString& text, QWidget* parent = nullptr);

    // The field's cell (a TextFieldCell unless another is installed); it must adopt TQHoverableCell.
    Cell* cell() const { return m_cell.get(); }
    template <typename T> T* cellAs() const { return dynamic_cast<T*>(m_cell.get()); }
    void setCell(std::shared_ptr<Cell> cell);
    TQHoverableCell* hoverCell() const;

    bool isEditable() const { return !isReadOnly(); }
    void setEditable(bool editable);
    QString stringValue() const { return text(); }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The field's own command, sent to the target (or up the responder chain) when Return ends an
    // edit, unless an end-edit command is set.
    QString action() const { return m_action; }
    void setAction(const QString& selector) { m_action = selector; }
    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    // Sent whenever an edit ends (Return, or the keyboard going elsewhere), with the field as sender.
    QString endEditAction() const { return m_endEditAction; }
    void setEndEditAction(const QString& selector) { m_endEditAction = selector; }

    // The part of the field that lies over the text: its full height, the cell's natural width.
    QRectF textArea() const;
    // Editing can always end, whatever the text.
    bool textShouldEndEditing() const { return true; }

    QWidget* hostWidget() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setCellHovered(bool hovered);
    // An edit ended, by Return or by losing the keyboard.
    void textDidEndEditing(bool byReturn);

    std::shared_ptr<Cell> m_cell;
    QString m_action;
    QString m_endEditAction;
    QPointer<QObject> m_target;
    int m_tag = 0;
    bool m_tracking = false;
    bool m_editing = false;
};

} // namespace tavrel
