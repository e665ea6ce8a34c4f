// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/QuietUserInterface.h"

namespace kx {

bool QuietUserInterface::askYesNo(const std::string&, const std::string&)
{
    return false;
}

bool QuietUserInterface::askText(const std::string&, const std::string&, std::string&)
{
    return false;
}

bool QuietUserInterface::askCopyWhatFits(const std::string&, const std::string&, const std::string&)
{
    return false;
}

} // namespace kx
