// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"
#include "support/FileDate.h"

namespace kx {

/** The daylight-saving facts gathered once at start and read-only afterwards. */
struct DaylightWindow
{
    DateTime dstStart = 0;
    DateTime dstEnd = 0;
    bool dstNow = false;
    DateTime dstShift = 0; // days; 0 unless dstNow
};

/** Computes the window for the year of `now` from the zone's records (rule or absolute form). */
DaylightWindow computeDaylightWindow(const TimeZoneRecords& zone, const LocalTime& now);
/** Reads the system zone and computes the window for the present moment. */
DaylightWindow readDaylightSavingWindow(Clock& clock);
/** True when the date-time of `fileDate` lies strictly inside the window. */
bool inDaylightSaving(const DaylightWindow& window, FileDate fileDate);

} // namespace kx
