#pragma once

#include <QDateTime>
#include <QString>

namespace tavrel {

// Writes dates in the user's locale with a date style and a time style, in local time.
class TQDateFormatter
{
public:
    enum Style { NoStyle = 0, ShortStyle = 1, MediumStyle = 2, LongStyle = 3, FullStyle = 4 };

    TQDateFormatter(Style dateStyle, Style timeStyle) : m_dateStyle(dateStyle), m_timeStyle(timeStyle) {}

    Style dateStyle() const { return m_dateStyle; }
    Style timeStyle() const { return m_timeStyle; }

    // Empty for an invalid date.
    QString stringFromDate(const QDateTime& date) const;

private:
    Style m_dateStyle;
    Style m_timeStyle;
};

} // namespace tavrel
