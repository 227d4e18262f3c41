#include "controls/ColorComponents.h"

namespace tavrel {

ColorComponents::Value ColorComponents::newCGColor(const QColor& color)
{
    Value value;
    value.spec = color.spec();
    switch (color.spec()) {
    case QColor::Rgb:
    case QColor::ExtendedRgb:
        value.components = {color.redF(), color.greenF(), color.blueF(), color.alphaF()};
        break;
    case QColor::Hsv:
        value.components = {color.hsvHueF(), color.hsvSaturationF(), color.valueF(), color.alphaF()};
        break;
    case QColor::Hsl:
        value.components = {color.hslHueF(), color.hslSaturationF(), color.lightnessF(), color.alphaF()};
        break;
    case QColor::Cmyk:
        value.components = {color.cyanF(), color.magentaF(), color.yellowF(), color.blackF(), color.alphaF()};
        break;
    case QColor::Invalid:
        break;
    }
    return value;
}

} // namespace tavrel
