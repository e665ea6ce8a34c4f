#pragma once

#include "platform/Platform.h"

#include <cstdint>

namespace kx {

/** A file's modification time in local time, packed as in a FAT directory entry (two-second
 *  resolution); -1 for a missing file. Compared as signed integers. */
using FileDate = std::int32_t;
/** Days since 30 December 1899; the fraction is the time of day. */
using DateTime = double;

constexpr FileDate kNoFile = -1;

/** Packs a local time; times before 1980 or after 2107 are clamped to the ends of the range. */
FileDate PackFileDate(const LocalTime& t);
LocalTime UnpackFileDate(FileDate d);

DateTime LocalTimeToDateTime(const LocalTime& t);
/** Rounds to the nearest second. */
LocalTime DateTimeToLocalTime(DateTime dt);
DateTime FileDateToDateTime(FileDate d);
FileDate DateTimeToFileDate(DateTime dt);

/** The file date of a path (-1 when it does not exist). */
FileDate FileDateOf(Platform& platform, const std::string& path);
/** The file date of an entry whose status is known. */
FileDate FileDateOf(Platform& platform, const FileInfo& info);
/** The current local date-time. */
DateTime Now(Platform& platform);

} // namespace kx
