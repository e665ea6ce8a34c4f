// SPDX-License-Identifier: GPL-3.0-or-later
// On Windows the commands that are written for Linux's service manager, mounts and network say
// that they are not there yet.
#include "cli/LinuxCommands.h"

#include <cstdio>

namespace kx {

namespace {

int linuxOnly(const char* command)
{
    std::fprintf(stderr, "kopierix: %s is only available on Linux for now.\n", command);
    return 2;
}

} // namespace

int watchCommand(Platform& /*platform*/, Console& /*console*/, Language /*language*/,
                 char /*backupDrive*/, void (* /*requestStop*/)() noexcept,
                 const std::function<int()>& /*run*/)
{
    return linuxOnly("watch");
}

int scheduleCommand(Language /*language*/, const std::string& /*choice*/)
{
    return linuxOnly("schedule");
}

int checkUpdateCommand(Platform& /*platform*/, const std::string& /*languageCode*/)
{
    return linuxOnly("check-update");
}

} // namespace kx
