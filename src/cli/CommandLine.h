// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RunResult.h"
#include "platform/Console.h"
#include "platform/DesktopNotifier.h"
#include "platform/Platform.h"
#include "support/Language.h"

#include <string>
#include <vector>

namespace kx {

/** Exit statuses of the headless commands. make-backups, restore-all and newer: 0 done without
 *  a failure, 1 the backup drive could not be entered, 2 a usage error or a refused backup drive
 *  (one that can never hold a backup) or path to add, 3 done but some files could not be copied
 *  or some folders not read, 4 another Kopierix operation runs or the lock cannot be taken, 130
 *  or 143 stopped by SIGINT or SIGTERM after the summary so far.
 *  verify the same, and 3 also when a backup file differs from its source.
 *  check-update exits with its verdict's code (0 no update needed, 1 no connection, 2 list too
 *  small, 3 program not in the list), 10 when an update is advised, and 4 when the program's
 *  record in the list cannot be read. */
enum ExitStatus
{
    kExitOk = 0,
    kExitDriveNotEntered = 1,
    kExitNoRoom = 1,
    kExitUsage = 2,
    kExitSomeFailed = 3,
    kExitBusy = 4,
    kExitVersionRecordUnreadable = 4,
    kExitUpdateAdvised = 10,
    kExitStoppedByInt = 130,
    kExitStoppedByTerm = 143,
};

/** The exit status of a run from its result: stopped (130 after SIGINT, 143 after SIGTERM,
 *  `stopSignal` telling which), the drive not entered, some failures, or done. */
int exitStatusOf(const RunResult& result, StopSignal stopSignal);

/**
 * The headless commands for scripts and schedulers. They run on the same settings, drive table
 * and log as the windows, and print what the windows would show.
 */
class CommandLine
{
public:
    /** The console tells whether a terminal watches and brings the stop signals; the notifier
     *  tells the desktop how a run went. */
    CommandLine(Platform& platform, Console& console, DesktopNotifier& notifier);

    int run(const std::vector<std::string>& args);

    /** The windows were asked for where none can be shown (or, on Windows, where the program
     *  has none yet): says so, with the commands that need no display, and returns the exit
     *  status 1. */
    int noDisplay();

    /** The drive table: each letter with its type, label, free space and folder. */
    static void printDrives(Platform& platform, Language language);

private:
    Platform& m_platform;
    Console& m_console;
    DesktopNotifier& m_notifier;
};

} // namespace kx
