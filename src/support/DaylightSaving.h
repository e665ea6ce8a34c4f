#pragma once

#include "platform/Platform.h"
#include "support/FileDate.h"

namespace kx {

/** The daylight-saving facts gathered once at start and read-only afterwards. */
struct DaylightWindow
{
    DateTime DstStart = 0;
    DateTime DstEnd = 0;
    bool DstNow = false;
    DateTime DstShift = 0; // days; 0 unless DstNow
};

/** Computes the window for the year of `now` from the zone's records (rule or absolute form). */
DaylightWindow ComputeDaylightWindow(const TimeZoneRecords& zone, const LocalTime& now);
/** Reads the system zone and computes the window for the present moment. */
DaylightWindow ReadDaylightSavingWindow(Platform& platform);
/** True when the date-time of `fileDate` lies strictly inside the window. */
bool InDaylightSaving(const DaylightWindow& window, FileDate fileDate);

} // namespace kx
