// SPDX-License-Identifier: GPL-3.0-or-later
// The program on Windows: the command line, over the engine and the Windows platform.
#include "cli/CommandLine.h"
#include "platform/Console.h"
#include "platform/DesktopNotifier.h"
#include "platform/Platform.h"

#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::unique_ptr<kx::Platform> platform = kx::createPlatform();
    const std::unique_ptr<kx::Console> console = kx::createConsole();
    const std::unique_ptr<kx::DesktopNotifier> notifier = kx::createDesktopNotifier();
    kx::CommandLine commandLine(*platform, *console, *notifier);
    return args.empty() ? commandLine.noDisplay() : commandLine.run(args);
}
