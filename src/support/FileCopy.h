// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"
#include "support/DaylightSaving.h"
#include "support/FileDate.h"

#include <array>
#include <cstdint>
#include <string>

namespace kx {

/**
 * The copy routines every backup function goes through, with the time-stamp rules that keep a
 * fixed disk and a removable medium comparable while daylight saving is in force. Paths are full
 * drive paths; the first character is the drive letter.
 */
class FileCopy
{
public:
    FileCopy(Platform& platform, const DaylightWindow& dst);

    /** Creates Dest's missing folders, then copies Source over it. */
    bool copyFileTo(const std::string& source, const std::string& dest, bool failIfExists);
    /** Copies when Dest is missing or Source is newer than Dest (see needsCopy). True only for a
     *  copy made. */
    bool copyIfNewer(const std::string& source, const std::string& dest);
    /** Whether Source must be copied over Dest, their status known (`destInfo` null when there
     *  is none). Where both drives keep exact times, Source is newer when its time to 100 ns is
     *  later than Dest's; where either does not (FAT family, or a file system that cannot be
     *  identified), when it is later by more than 3 seconds. Either way with the daylight-saving
     *  shift between fixed and correctable drives where the system shows one. */
    bool needsCopy(const std::string& source, const FileInfo& sourceInfo, const std::string& dest,
                   const FileInfo* destInfo);
    /** After a copy: shifts Dest's time by the daylight-saving offset where the rules say so
     *  (never on a system that keeps media times in UTC). */
    void correctCopiedFileTime(const std::string& source, const std::string& dest,
                               FileDate sourceDate);
    /** The size of a file in bytes; -1 when there is none. */
    std::int64_t fileSizeOf(const std::string& path);
    /** Creates Dir with its parents and enters it; true when the current folder + "\" == Dir. */
    bool makeAndEnterDir(const std::string& dir);
    /** -1 for an empty path, 0 when moved to the trash, else the system's code. */
    int deleteToRecycleBin(const std::string& path);

    /** Why the last copy routine called failed, for callers that log it; code 0 when it did
     *  not fail (a copy that was not needed is no failure). */
    const SystemError& lastError() const { return m_lastError; }

private:
    enum class DriveClass : std::uint8_t
    {
        Unknown,
        Fixed,
        Correctable,
        Other
    };
    DriveClass driveClass(char letter);
    bool isFixed(char letter);
    bool isCorrectable(char letter);
    bool exactTimes(char letter);

    Platform& m_platform;
    const DaylightWindow& m_dst;
    SystemError m_lastError;
    // The class of each drive letter, asked once per operation: a walk of many files would
    // otherwise query the drive for every one of them.
    std::array<DriveClass, 26> m_driveClasses{};
    enum class Answer : std::uint8_t
    {
        Unknown,
        Yes,
        No
    };
    // Whether each drive keeps exact times, asked once per operation for the same reason.
    std::array<Answer, 26> m_exactTimes{};
};

} // namespace kx
