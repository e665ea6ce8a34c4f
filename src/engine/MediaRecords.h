// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace kx {

/** The most media whose records the program keeps. */
constexpr int kMaxMedia = 25;

/** What the settings record of one medium: the date of its last backup and the space its
 *  backup takes; 0 for what is not recorded. */
struct MediumRecord
{
    double lastBackupDate = 0;
    std::int64_t totalSize = 0;
};

/** The records of the media the program knows, and the record of the one in the backup drive. */
struct MediaRecords
{
    /** The records of every medium by drive key ("e-Backup1"), as read from the settings at
     *  start, whenever a backup drive is chosen and after a Duplicate. A settings section of
     *  more than kMaxMedia media gives none of its values. */
    std::map<std::string, MediumRecord> byKey;
    /** The drive key of the medium in the backup drive, set when the drive is chosen. */
    std::string currentKey;
    /** The medium in the backup drive: its record when the drive is chosen, then kept up to
     *  date by the runs, which store it when they record a backup (and the manage window when
     *  it closes, unless a newer record was stored meanwhile). */
    MediumRecord current;
};

} // namespace kx
