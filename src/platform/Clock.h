// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kx {

/** A moment in local time, broken down. */
struct LocalTime
{
    int year = 1980;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

/** One transition of a time zone as the daylight-saving rules describe it. With year 0 it is a
 *  rule: occurrence `day` (1..5, 5 = last) of weekday `dayOfWeek` (0 = Sunday) in `month`. */
struct TransitionRecord
{
    int year = 0;
    int month = 0;
    int dayOfWeek = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

/** The system zone: biases in minutes (UTC = local + bias), and the two transitions. */
struct TimeZoneRecords
{
    int bias = 0;
    int standardBias = 0;
    int daylightBias = 0;
    TransitionRecord standardDate; // end of daylight saving
    TransitionRecord daylightDate; // start of daylight saving; month 0 = no daylight saving
};

/** The time: now, local time, the rules of the system's time zone, and a moment written as the
 *  user reads dates. */
class Clock
{
public:
    virtual ~Clock() = default;

    virtual std::int64_t now() = 0;
    virtual LocalTime toLocal(std::int64_t utcSeconds) = 0;
    virtual std::int64_t fromLocal(const LocalTime& local) = 0;
    /** The zone's records for the given year. */
    virtual TimeZoneRecords timeZone(int year) = 0;
    /** A date-time in the user's short date and long time format. */
    virtual std::string formatDateTime(double dateTime) = 0;
    /** A date-time as the windows show it: the user's short date with its year in four digits,
     *  and the long time. */
    virtual std::string formatWindowDateTime(double dateTime) { return formatDateTime(dateTime); }
};

} // namespace kx
