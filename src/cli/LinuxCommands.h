// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Console.h"
#include "platform/Platform.h"
#include "support/Language.h"

#include <functional>
#include <string>

namespace kx {

// The commands that only Linux has, written for its service manager, its mounts and its network:
// the only part of the command line that uses Qt. Declared here without it, so that the rest of
// the command line calls them as it calls any other.

/** `kopierix watch`: runs `run` (Make Backups, giving its exit status) at each mount of the
 *  Backup drive's medium until a stop signal, which also calls `requestStop`; `backupDrive`,
 *  when not 0, stands for the stored choice. The exit status of the run the signal stopped,
 *  else 0. */
int watchCommand(Platform& platform, Console& console, Language language, char backupDrive,
                 void (*requestStop)() noexcept, const std::function<int()>& run);

/** `kopierix schedule [choice]`: shows the schedule when `choice` is empty, else sets it. */
int scheduleCommand(Language language, const std::string& choice);

/** `kopierix check-update`: the update window's verdict on the console. */
int checkUpdateCommand(Platform& platform, const std::string& languageCode);

} // namespace kx
