// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsoleUpdateUi.h"

#include "app/Version.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleOutput.h"
#include "cli/LinuxCommands.h"
#include "update/UpdateCheck.h"

namespace kx {

void ConsoleUpdateUi::addLine(const std::string& line)
{
    printOut(line);
}

void ConsoleUpdateUi::error(const std::string& text)
{
    printErr(text);
}

int checkUpdateCommand(Platform& platform, const std::string& languageCode)
{
    ConsoleUpdateUi ui;
    UpdateCheck check(platform, languageCode);
    const int code = check.checkForUpdate(ui, kProductName, versionText(languageOf(languageCode)));
    if (code < 0)
        return kExitVersionRecordUnreadable;
    return code == kUpdateAdvised ? kExitUpdateAdvised : code;
}

} // namespace kx
