// SPDX-License-Identifier: GPL-3.0-or-later
// The program on Windows: the command line, over the engine and the Windows platform.
#include "cli/CommandLine.h"
#include "cli/CommandLineTexts.h"
#include "cli/ConsoleOutput.h"
#include "platform/Console.h"
#include "platform/DesktopNotifier.h"
#include "platform/Platform.h"
#include "platform/windows/ConsoleWindow.h"
#include "platform/windows/WideText.h"
#include "support/Language.h"
#include "support/SystemFacts.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The arguments as the program's bytes. The C library's argv is in the ANSI code page, which
// cannot hold most names ("?" stands in for the rest), so they are read as wide text.
std::vector<std::string> wideArguments()
{
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return args;
    for (int i = 1; i < count; ++i)
        args.push_back(kx::win::fromWide(wide[i]));
    LocalFree(wide);
    return args;
}

} // namespace

int main()
{
    // The texts are UTF-8; the console shows them as such. stdout and stderr are in text mode,
    // so every line ends as the console's lines do, in CR LF.
    SetConsoleOutputCP(CP_UTF8);
    // A drive without its medium answers with an error, never with a dialog that waits for
    // someone to insert it.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const std::vector<std::string> args = wideArguments();
    const std::unique_ptr<kx::Platform> platform = kx::createPlatform();
    const std::unique_ptr<kx::Console> console = kx::createConsole();
    const std::unique_ptr<kx::DesktopNotifier> notifier = kx::createDesktopNotifier();
    kx::CommandLine commandLine(*platform, *console, *notifier);
    if (!args.empty())
        return commandLine.run(args);
    const int status = commandLine.noDisplay();
    // Started from the Explorer, the console window is the program's own and would close with it
    // before anyone could read a word.
    if (kx::win::consoleClosesWithProgram()) {
        const kx::Language language =
            kx::languageOf(kx::languageCodeForLocale(platform->localeName()));
        kx::printErr(std::string());
        kx::printErr(kx::inLanguage(language, kx::cliText::pressAKeyToClose));
        kx::win::waitForKey();
    }
    return status;
}
