// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileDate.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>

namespace kx {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int32_t kTicksPerSecond = 10'000'000;

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar; months outside 1..12 and
// days beyond the month carry over, so arithmetic on broken-down times never fails.
std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d)
{
    const std::int64_t carry = floorDiv(m - 1, 12);
    y += carry;
    m -= 12 * carry;

    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = floorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + (d - 1);
}

void civilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

// Day 0 of a date-time is 30 December 1899.
const std::int64_t kDateTimeEpoch = daysFromCivil(1899, 12, 30);

auto asTuple(const LocalTime& t)
{
    return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

} // namespace

FileDate packFileDate(const LocalTime& t)
{
    // The packed year holds 1980 to 2107; a time outside is clamped to the nearest end, so an
    // old file never turns into a future one.
    static const LocalTime first{1980, 1, 1, 0, 0, 0};
    static const LocalTime last{2107, 12, 31, 23, 59, 58};
    LocalTime c = t;
    if (asTuple(c) < asTuple(first))
        c = first;
    else if (asTuple(c) > asTuple(last))
        c = last;

    const std::uint32_t packed = (static_cast<std::uint32_t>(c.year - 1980) & 0x7F) << 25 |
                                 (static_cast<std::uint32_t>(c.month) & 0x0F) << 21 |
                                 (static_cast<std::uint32_t>(c.day) & 0x1F) << 16 |
                                 (static_cast<std::uint32_t>(c.hour) & 0x1F) << 11 |
                                 (static_cast<std::uint32_t>(c.minute) & 0x3F) << 5 |
                                 (static_cast<std::uint32_t>(c.second / 2) & 0x1F);
    return static_cast<FileDate>(packed);
}

LocalTime unpackFileDate(FileDate d)
{
    const auto u = static_cast<std::uint32_t>(d);
    LocalTime t;
    t.year = static_cast<int>(u >> 25) + 1980;
    t.month = static_cast<int>(u >> 21 & 0x0F);
    t.day = static_cast<int>(u >> 16 & 0x1F);
    t.hour = static_cast<int>(u >> 11 & 0x1F);
    t.minute = static_cast<int>(u >> 5 & 0x3F);
    t.second = static_cast<int>(u & 0x1F) * 2;
    return t;
}

DateTime localTimeToDateTime(const LocalTime& t)
{
    const std::int64_t days = daysFromCivil(t.year, t.month, t.day) - kDateTimeEpoch;
    const std::int64_t seconds = static_cast<std::int64_t>(t.hour) * 3600 +
                                 static_cast<std::int64_t>(t.minute) * 60 + t.second;
    return static_cast<DateTime>(days) + static_cast<DateTime>(seconds) / kSecondsPerDay;
}

LocalTime dateTimeToLocalTime(DateTime dt)
{
    // Rounding to the second first keeps a time that went through additions of fractions of a
    // day (an hour is 1/24) from landing a hair before the second it stands for.
    const auto total = static_cast<std::int64_t>(std::llround(dt * kSecondsPerDay));
    const std::int64_t days = floorDiv(total, kSecondsPerDay);
    const std::int64_t seconds = total - days * kSecondsPerDay;
    LocalTime t;
    civilFromDays(days + kDateTimeEpoch, t.year, t.month, t.day);
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    return t;
}

DateTime fileDateToDateTime(FileDate d)
{
    return localTimeToDateTime(unpackFileDate(d));
}

FileDate dateTimeToFileDate(DateTime dt)
{
    return packFileDate(dateTimeToLocalTime(dt));
}

FileDate fileDateOf(Files& files, Clock& clock, const std::string& path)
{
    FileInfo info;
    if (!files.fileInfo(path, info))
        return kNoFile;
    return fileDateOf(clock, info);
}

FileDate fileDateOf(Clock& clock, const FileInfo& info)
{
    // A folder has no file date, as a missing file.
    if (info.isDir)
        return kNoFile;
    return packFileDate(clock.toLocal(info.mtime));
}

FileTime fileTimeOf(const FileInfo& info)
{
    return FileTime{info.mtime, info.mtimeTicks};
}

FileTime plusSeconds(FileTime t, std::int64_t seconds)
{
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
    if (seconds > 0 && t.seconds > most - seconds)
        t.seconds = most;
    else if (seconds < 0 && t.seconds < least - seconds)
        t.seconds = least;
    else
        t.seconds += seconds;
    return t;
}

FatRange fatRangeOf(std::int64_t utcSeconds)
{
    // Local times of 1980-01-01 00:00 and 2107-12-31 23:59:58 lie within a day of the same
    // moments in UTC, whatever the zone.
    static const std::int64_t first = daysFromCivil(1980, 1, 1) * kSecondsPerDay;
    static const std::int64_t last =
        daysFromCivil(2107, 12, 31) * kSecondsPerDay + kSecondsPerDay - 2;
    if (utcSeconds < first + kSecondsPerDay)
        return FatRange::AtFirst;
    if (utcSeconds > last - kSecondsPerDay)
        return FatRange::AtLast;
    return FatRange::Inside;
}

DateTime fileDateTimeOf(Clock& clock, const FileInfo& info)
{
    return localTimeToDateTime(clock.toLocal(info.mtime)) +
           static_cast<DateTime>(info.mtimeTicks) / kTicksPerSecond / kSecondsPerDay;
}

DateTime now(Clock& clock)
{
    return localTimeToDateTime(clock.toLocal(clock.now()));
}

} // namespace kx
