// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DriveDescription.h"

#include <cctype>

namespace kx {

std::string driveDescription(Platform& platform, char letter)
{
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    std::string text = std::string(1, drive) + ":";
    std::string label;
    SystemError error;
    if (platform.volumeLabel(drive, label, error) && !label.empty())
        text += " (" + label + ")";
    // Where paths are drive paths themselves, the root says nothing the letter does not.
    const std::string root = text.substr(0, 2) + "\\";
    const std::string folder = platform.displayPath(root);
    if (folder != root)
        text += " " + folder;
    return text;
}

} // namespace kx
