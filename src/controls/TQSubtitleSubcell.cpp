#include "controls/TQSubtitleSubcell.h"

#include "controls/TQUISettings.h"
#include "platform/ui/Drawing.h"

namespace tavrel {

TQSubtitleSubcell::TQSubtitleSubcell(const QString& text)
    : RowTextCell(text.isNull() ? QStringLiteral("") : text, Drawing::font(11),
                  TQUISettings::rowSubtitleTextColor())
{}

} // namespace tavrel
