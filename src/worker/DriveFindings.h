// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace kx {

/** What a run found of the backup drive, for its window to keep; empty where it did not look. */
struct DriveFindings
{
    /** The backup drive reported that it holds no medium. */
    std::optional<bool> noDisk;
    /** Drive a: held no floppy. */
    std::optional<bool> noFloppy;
};

} // namespace kx
