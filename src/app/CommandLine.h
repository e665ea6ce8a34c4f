#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace kx {

/** Exit statuses of the headless commands. */
enum ExitStatus
{
    kExitOk = 0,
    kExitDriveNotEntered = 1,
    kExitUsage = 2,
};

/**
 * The headless commands for scripts and schedulers. They run on the same settings, drive table
 * and log as the windows, and print what the windows would show.
 */
class CommandLine
{
public:
    explicit CommandLine(Platform& platform);

    int run(const std::vector<std::string>& args);

private:
    Platform& m_platform;
};

} // namespace kx
