#pragma once

#include <QWidget>

namespace tavrel {

// The row widget of the view-based tables: the palette's row background, white while selected, and
// the grid-coloured separator on its last point row.
class TQTableHoverRowView : public QWidget
{
    Q_OBJECT
public:
    explicit TQTableHoverRowView(QWidget* parent = nullptr);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_selected = false;
};

} // namespace tavrel
