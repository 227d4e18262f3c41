#pragma once

#include <QColor>

namespace tavrel {

// The few system colours the design's controls draw with. They are fixed greys rather than the
// desktop palette's, so that our own images and these lines always match.
class SystemColors
{
public:
    // Borders of buttons and the source of soft shadows.
    static QColor controlShadowColor() { return QColor::fromRgbF(0.5f, 0.5f, 0.5f); }
};

} // namespace tavrel
