#pragma once

#include <QTextEdit>

namespace tavrel {

// A view for read-only blocks of text: it never shows an insertion point and keeps the arrow cursor
// where a text view would show the I-beam.
class TQTextView : public QTextEdit
{
    Q_OBJECT
public:
    explicit TQTextView(QWidget* parent = nullptr);

    bool shouldDrawInsertionPoint() const { return false; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
};

} // namespace tavrel
