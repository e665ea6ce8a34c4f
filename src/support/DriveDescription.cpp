// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DriveDescription.h"

#include <cctype>

namespace kx {

std::string driveDescription(Drives& drives, char letter)
{
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    std::string text = std::string(1, drive) + ":";
    if (const Result<std::string> label = drives.volumeLabel(drive);
        label && !label.value().empty())
        text += " (" + label.value() + ")";
    // Where paths are drive paths themselves, the root says nothing the letter does not.
    const std::string root = text.substr(0, 2) + "\\";
    const std::string folder = drives.displayPath(root);
    if (folder != root)
        text += " " + folder;
    return text;
}

} // namespace kx
