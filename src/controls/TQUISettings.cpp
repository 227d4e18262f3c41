#include "controls/TQUISettings.h"

#include "platform/ui/Drawing.h"

namespace tavrel {

namespace {
// The design's lazily made colour objects: made once, never released.
const QColor& grey(QColor*& slot, qreal level)
{
    if (!slot)
        slot = new QColor(Drawing::grey(level));
    return *slot;
}
} // namespace

const QColor& TQUISettings::rowTitleTextColor()
{
    static QColor* color = nullptr;
    return grey(color, 0.24609375);
}

const QColor& TQUISettings::rowSubtitleTextColor()
{
    static QColor* color = nullptr;
    return grey(color, 0.64453125);
}

const QColor& TQUISettings::stateOnButtonTitleTextColor()
{
    static QColor* color = nullptr;
    return grey(color, 0.421875);
}

const QColor& TQUISettings::stateOffButtonTitleTextColor()
{
    static QColor* color = nullptr;
    return grey(color, 0.54296875);
}

const QColor& TQUISettings::rowBackgroundColor()
{
    static QColor* color = nullptr;
    return grey(color, 0.98828125);
}

const QColor& TQUISettings::selectedRowBackgroundColor()
{
    static QColor* color = nullptr;
    return grey(color, 0.9453125);
}

const QColor& TQUISettings::gridBackgroundColor()
{
    static QColor* color = nullptr;
    return grey(color, 0.91015625);
}

const QColor& TQUISettings::selectedGridBackgroundColor()
{
    static QColor* color = nullptr;
    return grey(color, 0.859375);
}

const QColor& TQUISettings::selectedIconBackgroundColor()
{
    static QColor* color = nullptr;
    if (!color)
        color = new QColor(QColor::fromRgbF(0.83984375f, 0.8359375f, 0.8359375f));
    return *color;
}

const QColor& TQUISettings::selectedIconBorderColor()
{
    static QColor* color = nullptr;
    return grey(color, 0.796875);
}

TQUISettings::ColorSpace TQUISettings::colorSpaceOf(const QColor& color)
{
    return &color == &selectedRowBackgroundColor() ? ColorSpace::DeviceRGB : ColorSpace::CalibratedRGB;
}

} // namespace tavrel
