// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx {

/**
 * What the backup drive last told the windows of its medium, as they learn it from the choice of
 * the drive and from the runs' results. The manage window reads it when it closes: a drive that
 * held no medium is not stored as the backup drive. One object, owned by the application and
 * shared by its windows.
 */
struct DriveFlags
{
    bool noDisk = false;   // the backup drive reported that it is not ready
    bool noFloppy = false; // drive a: holds no floppy
};

} // namespace kx
