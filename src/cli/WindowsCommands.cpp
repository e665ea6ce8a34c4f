// SPDX-License-Identifier: GPL-3.0-or-later
// On Windows the commands that are written for Linux's service manager, mounts and network say
// that they are not there yet.
#include "cli/CommandLine.h"
#include "cli/CommandLineTexts.h"
#include "cli/ConsoleOutput.h"
#include "cli/LinuxCommands.h"
#include "support/TextHelpers.h"

namespace kx {

namespace {

int onlyOnLinux(Language language, const char* command)
{
    printErr(cliText::kErrorPrefix + fillIn(inLanguage(language, cliText::onlyOnLinux), {command}));
    return kExitUsage;
}

} // namespace

int watchCommand(Platform& /*platform*/, Console& /*console*/, Language language,
                 char /*backupDrive*/, void (* /*requestStop*/)() noexcept,
                 const std::function<int()>& /*run*/)
{
    return onlyOnLinux(language, "watch");
}

int scheduleCommand(Language language, const std::string& /*choice*/)
{
    return onlyOnLinux(language, "schedule");
}

int checkUpdateCommand(Platform& /*platform*/, const std::string& languageCode)
{
    return onlyOnLinux(languageOf(languageCode), "check-update");
}

} // namespace kx
