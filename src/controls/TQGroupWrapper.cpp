#include "controls/TQGroupWrapper.h"

#include "model/TQUtility.h"
#include "platform/runtime/Clock.h"
#include "platform/ui/StringTable.h"

#include <QMutex>

namespace tavrel {

namespace {
QMutex& calendarLock()
{
    static QMutex lock;
    return lock;
}

std::optional<QTimeZone>& calendarZone()
{
    static std::optional<QTimeZone> zone;
    return zone;
}
} // namespace

TQGroupWrapper::TQGroupWrapper(qint32 group, QString title) : m_group(group), m_title(std::move(title)) {}

TQGroupWrapperPtr TQGroupWrapper::groupOf(qint32 group, const QString& title)
{
    return std::make_shared<const TQGroupWrapper>(group, title);
}

QTimeZone TQGroupWrapper::calendarTimeZone()
{
    const QMutexLocker locker(&calendarLock());
    if (!calendarZone())
        calendarZone() = QTimeZone::systemTimeZone();
    return *calendarZone();
}

void TQGroupWrapper::setCalendarTimeZoneForTesting(std::optional<QTimeZone> zone)
{
    const QMutexLocker locker(&calendarLock());
    calendarZone() = std::move(zone);
}

TQGroupWrapper::Span TQGroupWrapper::calendarSpan(const QDateTime& from, const QDateTime& to, bool countDays)
{
    Span span;
    if (!from.isValid() || !to.isValid() || to <= from)
        return span;
    const QTimeZone zone = calendarTimeZone();
    QDateTime start = from.toTimeZone(zone);
    const QDateTime end = to.toTimeZone(zone);
    if (countDays) {
        // Whole calendar days first: the same time of day on a later date, however long that day was.
        qint64 days = start.daysTo(end);
        while (days > 0 && start.addDays(days) > end)
            --days;
        span.days = qMax<qint64>(0, days);
        start = start.addDays(span.days);
    }
    const qint64 seconds = qMax<qint64>(0, start.secsTo(end));
    span.hours = seconds / 3600;
    span.minutes = (seconds % 3600) / 60;
    return span;
}

QString TQGroupWrapper::stringRepresentationOfDate(const QDateTime& date) const
{
    const QDateTime now = Clock::now();
    const auto hoursAndMinutes = [](const Span& span) {
        if (span.hours >= 2)
            return StringTable::format(QStringLiteral("GroupFormatHours"), span.hours);
        if (span.hours == 1)
            return StringTable::text(QStringLiteral("GroupFormatHour"));
        if (span.minutes == 0)
            return StringTable::text(QStringLiteral("GroupFormatNow"));
        if (span.minutes == 1)
            return StringTable::text(QStringLiteral("GroupFormatMin"));
        return StringTable::format(QStringLiteral("GroupFormatMins"), span.minutes);
    };
    switch (m_group) {
    case Today:
        return hoursAndMinutes(calendarSpan(date, now, false));
    case Yesterday:
        return StringTable::format(QStringLiteral("FileModifiedAt"),
                                   TQUtility::sharedShortTimeFormatter().stringFromDate(date));
    case LastWeek: {
        const Span span = calendarSpan(date, now, true);
        if (span.days >= 1) {
            const qint64 days = span.days + ((span.hours != 0 || span.minutes != 0) ? 1 : 0);
            if (days == 1)
                return StringTable::text(QStringLiteral("GroupFormatDay"));
            return StringTable::format(QStringLiteral("GroupFormatDays"), days);
        }
        return hoursAndMinutes(span);
    }
    default:
        return TQUtility::sharedShortDateFormatter().stringFromDate(date);
    }
}

} // namespace tavrel
