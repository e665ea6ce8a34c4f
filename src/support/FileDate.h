// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"
#include "platform/Files.h"

#include <string>

#include <cstdint>

namespace kx {

/** A file's modification time in local time, packed as in a FAT directory entry (two-second
 *  resolution); -1 for a missing file. The daylight-saving rules speak in file dates; a file and
 *  its copy are compared by their FileTime. */
using FileDate = std::int32_t;
/** Days since 30 December 1899; the fraction is the time of day. */
using DateTime = double;

constexpr FileDate kNoFile = -1;

/** Packs a local time; times before 1980 or after 2107 are clamped to the ends of the range. */
FileDate packFileDate(const LocalTime& t);
LocalTime unpackFileDate(FileDate d);

DateTime localTimeToDateTime(const LocalTime& t);
/** Rounds to the nearest second. */
LocalTime dateTimeToLocalTime(DateTime dt);
DateTime fileDateToDateTime(FileDate d);
FileDate dateTimeToFileDate(DateTime dt);

/** A file's modification time to 100 ns (the unit of Windows file times, so that a copy made
 *  on either system compares equal), over the full range of 64-bit seconds. */
struct FileTime
{
    std::int64_t seconds = 0; // since 1970-01-01 UTC
    std::int32_t ticks = 0;   // 100-nanosecond units past `seconds` (0..9,999,999)

    auto operator<=>(const FileTime&) const = default;
};

/** The modification time of an entry whose status is known. */
FileTime fileTimeOf(const FileInfo& info);
/** `t` moved by whole seconds; a sum beyond the range stays at its end. */
FileTime plusSeconds(FileTime t, std::int64_t seconds);

/** Where a time lies with regard to the dates a FAT-family medium can hold (local 1980 to
 *  2107): inside, or at or beyond one of the ends, where such a medium keeps its first or last
 *  date instead. The ends are taken a day wide, for the medium may read them in any zone. */
enum class FatRange : std::uint8_t
{
    Inside,
    AtFirst,
    AtLast
};
FatRange fatRangeOf(std::int64_t utcSeconds);

/** The file date of a path (-1 when it does not exist). */
FileDate fileDateOf(Files& files, Clock& clock, const std::string& path);
/** The file date of an entry whose status is known. */
FileDate fileDateOf(Clock& clock, const FileInfo& info);
/** The local date-time of an entry's modification time, the fraction of its second included. */
DateTime fileDateTimeOf(Clock& clock, const FileInfo& info);
/** The current local date-time. */
DateTime now(Clock& clock);

} // namespace kx
