// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ForwardingPlatform.h"

#include <map>
#include <memory>
#include <optional>

namespace kx::test {

/** A real platform with a few answers overridden (file-system names, label errors, the zone, the
 *  locale, the clock) and the drive queries and trash calls counted, for what a fixture of plain
 *  folders cannot show. */
class ProbePlatform : public ForwardingPlatform
{
public:
    using ForwardingPlatform::ForwardingPlatform;

    std::map<char, std::string> fileSystems;
    std::map<char, SystemError> labelErrors;
    std::optional<TimeZoneRecords> zone;
    std::optional<std::string> locale;
    std::optional<std::int64_t> clock;
    /** Whether media times shift with daylight saving, as on the systems that do that. */
    std::optional<bool> mediaShift;
    /** Whether a drive keeps exact times, for the drives given here. */
    std::map<char, bool> exactTimes;
    int driveQueries = 0;
    int timeQueries = 0;
    int trashCalls = 0;

    DriveType driveType(char letter) override
    {
        ++driveQueries;
        return inner().driveType(letter);
    }
    Result<std::string> volumeLabel(char letter) override
    {
        ++driveQueries;
        const auto it = labelErrors.find(letter);
        if (it == labelErrors.end())
            return inner().volumeLabel(letter);
        return it->second;
    }
    std::string fileSystemName(char letter) override
    {
        ++driveQueries;
        const auto it = fileSystems.find(letter);
        return it == fileSystems.end() ? inner().fileSystemName(letter) : it->second;
    }
    bool mediaTimesFollowDaylightSaving(char letter) override
    {
        return mediaShift ? *mediaShift : inner().mediaTimesFollowDaylightSaving(letter);
    }
    bool keepsExactTimes(char letter) override
    {
        ++timeQueries;
        const auto it = exactTimes.find(letter);
        return it == exactTimes.end() ? inner().keepsExactTimes(letter) : it->second;
    }
    Result<void> moveToTrash(const std::string& path) override
    {
        ++trashCalls;
        return inner().moveToTrash(path);
    }
    std::int64_t now() override { return clock ? *clock : inner().now(); }
    TimeZoneRecords timeZone(int year) override { return zone ? *zone : inner().timeZone(year); }
    std::string localeName() override { return locale ? *locale : inner().localeName(); }
};

} // namespace kx::test
