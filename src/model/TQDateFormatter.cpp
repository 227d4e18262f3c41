#include "model/TQDateFormatter.h"

#include <QLocale>

namespace tavrel {

namespace {
QLocale::FormatType formatType(TQDateFormatter::Style style)
{
    switch (style) {
    case TQDateFormatter::LongStyle:
    case TQDateFormatter::FullStyle:
        return QLocale::LongFormat;
    case TQDateFormatter::ShortStyle:
    case TQDateFormatter::MediumStyle:
    case TQDateFormatter::NoStyle:
        break;
    }
    return QLocale::ShortFormat;
}
} // namespace

QString TQDateFormatter::stringFromDate(const QDateTime& date) const
{
    if (!date.isValid())
        return QString();
    const QLocale locale;
    const QDateTime local = date.toLocalTime();
    QStringList parts;
    if (m_dateStyle != NoStyle)
        parts.append(locale.toString(local.date(), formatType(m_dateStyle)));
    if (m_timeStyle != NoStyle)
        parts.append(locale.toString(local.time(), formatType(m_timeStyle)));
    return parts.join(QStringLiteral(", "));
}

} // namespace tavrel
