#pragma once

#include <QColor>

namespace tavrel {

// The fixed palette of every list: row titles and subtitles, state button titles, row and grid
// backgrounds, the frame of a pressed-in photo. Each colour is made on first use and the same object
// is answered for the life of the process. Main thread only.
//
// Each colour keeps the colour space the design made it in: all are calibrated RGB but the selected
// row's background, which is device RGB. Qt paints without colour management, so the space changes
// nothing drawn; colorSpaceOf() reports it.
class TQUISettings
{
public:
    enum class ColorSpace { CalibratedRGB, DeviceRGB };

    static const QColor& rowTitleTextColor();
    static const QColor& rowSubtitleTextColor();
    static const QColor& stateOnButtonTitleTextColor();
    static const QColor& stateOffButtonTitleTextColor();
    static const QColor& rowBackgroundColor();
    static const QColor& selectedRowBackgroundColor();
    static const QColor& gridBackgroundColor();
    static const QColor& selectedGridBackgroundColor();
    static const QColor& selectedIconBackgroundColor();
    static const QColor& selectedIconBorderColor();

    // The space of one of the palette's objects (compared by identity; any other colour is
    // calibrated).
    static ColorSpace colorSpaceOf(const QColor& color);
};

} // namespace tavrel
