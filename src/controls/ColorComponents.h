#pragma once

#include <QColor>
#include <QList>

namespace tavrel {

// A colour as a list of its components, in its own model and order, alpha last: red, green, blue and
// alpha for an RGB colour (the design's Core Graphics colour of an NSColor).
class ColorComponents
{
public:
    struct Value
    {
        QColor::Spec spec = QColor::Invalid;
        QList<qreal> components;
    };
    // A new value owned by the caller; an invalid colour gives an empty one.
    static Value newCGColor(const QColor& color);
};

} // namespace tavrel
