#include "ControlTestSupport.h"

#include "platform/ui/CellHost.h"
#include "platform/ui/ImageRegistry.h"
#include "support/WaitUntil.h"

#include <QPainter>
#include <QWidget>

namespace tavrel::test {

RegisteredPopovers::RegisteredPopovers()
{
    ControlPopovers::setLabelController(&label);
    ControlPopovers::setTooltipController(&tooltip);
    ControlPopovers::setPermissionController(&permission);
    ControlPopovers::setLinkController(&link);
}

RegisteredPopovers::~RegisteredPopovers()
{
    ControlPopovers::setLabelController(nullptr);
    ControlPopovers::setTooltipController(nullptr);
    ControlPopovers::setPermissionController(nullptr);
    ControlPopovers::setLinkController(nullptr);
}

QPixmap registerSolid(const QString& name, const QColor& color, const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(color);
    ImageRegistry::registerPixmap(name, pixmap);
    return ImageRegistry::pixmap(name);
}

namespace {
class ImageHost : public CellHost
{
public:
    QWidget* hostWidget() const override { return nullptr; }
    void updateCellRect(const QRectF&) override {}
};
} // namespace

QImage renderCell(Cell& cell, const QSize& size, const QRectF& frame)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    ImageHost host;
    cell.paint(painter, frame.isNull() ? QRectF(QPointF(0, 0), QSizeF(size)) : frame, host);
    return image;
}

void letTimePass(int milliseconds)
{
    waitUntil([] { return false; }, milliseconds);
}

bool sameColor(const QColor& a, const QColor& b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance && qAbs(a.alpha() - b.alpha()) <= tolerance;
}

} // namespace tavrel::test
