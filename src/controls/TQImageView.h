#pragma once

#include <QPixmap>
#include <QWidget>

class QPainterPath;

namespace tavrel {

// The picture of a person or a document outside a list: the image stretched over the whole view,
// optionally clipped to a rounded rectangle and optionally with a pressed-in rim. Nothing can be
// dropped on it.
class TQImageView : public QWidget
{
    Q_OBJECT
public:
    explicit TQImageView(QWidget* parent = nullptr);

    QPixmap image() const { return m_image; }
    void setImage(const QPixmap& image);

    // Both flags are plain: the owner asks for the redraw.
    bool bordered() const { return m_bordered; }
    void setBordered(bool bordered) { m_bordered = bordered; }
    bool rounded() const { return m_rounded; }
    void setRounded(bool rounded) { m_rounded = rounded; }

    static constexpr qreal kCornerRadius = 3;

    // The pressed-in rim along a path: a light grey line with a soft grey shadow on both sides of it.
    // Under a clip to the same path only the inner half and the inward shadow remain. The photo cells
    // of the rows draw theirs with it too.
    static void drawPressedInRim(QPainter& painter, const QPainterPath& path);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_image;
    bool m_bordered = false;
    bool m_rounded = false;
};

} // namespace tavrel
