// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WindowsPlatform.h"

namespace kx {

namespace {

SystemError notYet()
{
    return SystemError{50, "Not supported yet"};
}

} // namespace

std::string WindowsPlatform::dataFolder()
{
    return {};
}

Result<void> WindowsPlatform::appendDataFile(const std::string& /*name*/,
                                             const std::string& /*bytes*/)
{
    return notYet();
}

bool WindowsPlatform::renameDataFile(const std::string& /*from*/, const std::string& /*to*/)
{
    return false;
}

bool WindowsPlatform::removeDataFile(const std::string& /*name*/)
{
    return false;
}

std::unique_ptr<SettingsStore> WindowsPlatform::openSettings()
{
    return {};
}

} // namespace kx
