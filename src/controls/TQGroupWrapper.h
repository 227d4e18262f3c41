#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QTimeZone>
#include <memory>
#include <optional>

namespace tavrel {

class TQGroupWrapper;
using TQGroupWrapperPtr = std::shared_ptr<const TQGroupWrapper>;

// The header of one group of a grouped document list: its group number and its title. Documents under
// a header ask it for the text of their modification date, relative to now for the recent groups.
class TQGroupWrapper
{
public:
    // The time groups; every other header is NoGroup.
    enum Group : qint32 { NoGroup = 0, Today = 1, Yesterday = 2, LastWeek = 3, LastMonth = 4, InPast = 5 };

    TQGroupWrapper(qint32 group, QString title);
    static TQGroupWrapperPtr groupOf(qint32 group, const QString& title);

    qint32 group() const { return m_group; }
    const QString& title() const { return m_title; }

    // The date of a document under this header: minutes or hours ago today, the time yesterday, days
    // ago in the last week, otherwise the short date. Now is Clock::now().
    QString stringRepresentationOfDate(const QDateTime& date) const;

    // The one calendar of the grouped lists: the user's time zone, taken the first time it is asked for
    // and kept for the life of the process. Days, months and years are counted in it.
    static QTimeZone calendarTimeZone();
    // Replaces it (none: the user's again). Tests only.
    static void setCalendarTimeZoneForTesting(std::optional<QTimeZone> zone);

    // Whole days, hours and minutes from one instant to a later one in the calendar (a day is a
    // calendar day, so one that changes the clock is still one day). Negative spans count as none.
    struct Span
    {
        qint64 days = 0;
        qint64 hours = 0;
        qint64 minutes = 0;
    };
    static Span calendarSpan(const QDateTime& from, const QDateTime& to, bool countDays);

private:
    qint32 m_group;
    QString m_title;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::TQGroupWrapperPtr)
