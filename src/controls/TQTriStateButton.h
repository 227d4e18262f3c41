#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace tavrel {

// An image button with three images: the normal one, the one while the mouse is over it, and the
// one while it is pressed. It takes no keyboard focus and draws nothing else.
class TQTriStateButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit TQTriStateButton(QWidget* parent = nullptr);

    QPixmap normalImage() const { return m_normalImage; }
    void setNormalImage(const QPixmap& image);
    QPixmap hoverImage() const { return m_hoverImage; }
    void setHoverImage(const QPixmap& image);
    QPixmap pressedImage() const { return m_pressedImage; }
    void setPressedImage(const QPixmap& image);

    // The image shown now.
    QPixmap currentImage() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap m_normalImage;
    QPixmap m_hoverImage;
    QPixmap m_pressedImage;
    bool m_hovered = false;
};

} // namespace tavrel
