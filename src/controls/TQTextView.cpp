#include "controls/TQTextView.h"

namespace tavrel {

TQTextView::TQTextView(QWidget* parent) : QTextEdit(parent)
{
    setReadOnly(true);
    // No caret, even while the view has the keyboard or is made editable.
    setCursorWidth(0);
    viewport()->setCursor(Qt::ArrowCursor);
}

void TQTextView::mouseMoveEvent(QMouseEvent* event)
{
    QTextEdit::mouseMoveEvent(event);
    if (viewport()->cursor().shape() == Qt::IBeamCursor)
        viewport()->setCursor(Qt::ArrowCursor);
}

} // namespace tavrel
