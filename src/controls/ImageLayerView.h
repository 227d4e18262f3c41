#pragma once

#include <QPixmap>
#include <QWidget>

namespace tavrel {

// A view showing an image as its layer's contents, turned by the layer's rotation about its centre
// (radians, about the z axis): the arrows of the pull-to-refresh header.
class ImageLayerView : public QWidget
{
    Q_OBJECT
public:
    explicit ImageLayerView(const QPixmap& image, QWidget* parent = nullptr);

    QPixmap image() const { return m_image; }
    double rotation() const { return m_rotation; }
    void setRotation(double radians);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_image;
    double m_rotation = 0;
};

} // namespace tavrel
