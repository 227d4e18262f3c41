#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QSizeF>
#include <QWidget>

namespace tavrel {

// A container that windows and lists are assembled from: it fills itself with a colour, draws a
// background image over it (stretched, or fitted with its aspect ratio kept and centred), and sends a
// command on a double click. It is opaque, and takes the click that activates its window.
class TQHostView : public QWidget
{
    Q_OBJECT
public:
    explicit TQHostView(QWidget* parent = nullptr);

    QPixmap backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const QPixmap& image);
    // White when none was set.
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);
    // Fit the image with its aspect ratio kept instead of stretching it.
    bool drawProportionally() const { return m_drawProportionally; }
    void setDrawProportionally(bool proportionally);
    // The image is drawn inside the bounds inset by this much horizontally and vertically.
    QSizeF border() const { return m_border; }
    void setBorder(const QSizeF& border);

    // The double click sends the command ("openItem:") to the target, or up the responder chain from
    // the first responder when there is none, with the view as sender.
    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    QString doubleAction() const { return m_doubleAction; }
    void setDoubleAction(const QString& selector) { m_doubleAction = selector; }

    // Where the background image lands for the current bounds (empty without an image).
    QRectF imageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws the colour and the image; subclasses draw over it.
    virtual void drawRect(QPainter& painter);
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPixmap m_backgroundImage;
    QColor m_backgroundColor;
    bool m_drawProportionally = false;
    QSizeF m_border;
    QPointer<QObject> m_target;
    QString m_doubleAction;
};

} // namespace tavrel
