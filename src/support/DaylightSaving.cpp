// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DaylightSaving.h"

#include <cmath>

namespace kx {

namespace {

int dayNumber(int year, int month, int day)
{
    return static_cast<int>(std::floor(localTimeToDateTime(LocalTime{year, month, day, 0, 0, 0})));
}

int monthLength(int year, int month)
{
    return dayNumber(year, month + 1, 1) - dayNumber(year, month, 1);
}

// 0 = Sunday; day 0 of the date-time count, 30 December 1899, was a Saturday.
int weekday(int year, int month, int day)
{
    const int w = (dayNumber(year, month, day) + 6) % 7;
    return w < 0 ? w + 7 : w;
}

// The day of the month on which a rule transition falls in `year`: occurrence `record.day`
// (5 = the last) of weekday `record.dayOfWeek`.
int ruleDay(const TransitionRecord& record, int year)
{
    int occurrence = record.day;
    if (occurrence < 1)
        occurrence = 1;
    if (occurrence > 5)
        occurrence = 5;
    const int from = (occurrence - 1) * 7 + 1;
    const int wanted = ((record.dayOfWeek % 7) + 7) % 7;
    int day = from + (wanted - weekday(year, record.month, from) + 7) % 7;
    if (day > monthLength(year, record.month))
        day -= 7;
    return day;
}

DateTime transition(const TransitionRecord& record, int year, int day)
{
    return localTimeToDateTime(
        LocalTime{year, record.month, day, record.hour, record.minute, record.second});
}

} // namespace

DaylightWindow computeDaylightWindow(const TimeZoneRecords& zone, const LocalTime& now)
{
    DaylightWindow window;
    // A zone without daylight saving (or without an end to it) has an empty window.
    if (zone.daylightDate.month == 0 || zone.standardDate.month == 0)
        return window;

    if (zone.daylightDate.year != 0) {
        window.dstStart =
            transition(zone.daylightDate, zone.daylightDate.year, zone.daylightDate.day);
        // Absolute dates: each record carries its own year (an end without one shares the start's).
        const int endYear =
            zone.standardDate.year != 0 ? zone.standardDate.year : zone.daylightDate.year;
        window.dstEnd = transition(zone.standardDate, endYear, zone.standardDate.day);
    } else {
        window.dstStart =
            transition(zone.daylightDate, now.year, ruleDay(zone.daylightDate, now.year));
        window.dstEnd =
            transition(zone.standardDate, now.year, ruleDay(zone.standardDate, now.year));
    }

    // A southern zone starts later in the year than it ends: no moment lies strictly between, so
    // it never counts as in daylight saving and its copies are never shifted.
    const DateTime present = localTimeToDateTime(now);
    if (present > window.dstStart && present < window.dstEnd) {
        window.dstNow = true;
        window.dstShift = static_cast<DateTime>(zone.standardBias - zone.daylightBias) / 1440;
    }
    return window;
}

DaylightWindow readDaylightSavingWindow(Clock& clock)
{
    const LocalTime now = clock.toLocal(clock.now());
    return computeDaylightWindow(clock.timeZone(now.year), now);
}

bool inDaylightSaving(const DaylightWindow& window, FileDate fileDate)
{
    const DateTime dt = fileDateToDateTime(fileDate);
    return dt > window.dstStart && dt < window.dstEnd;
}

} // namespace kx
