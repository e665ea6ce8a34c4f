// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/Volume.h"

#include <string>
#include <vector>

namespace kx {

// The system's volume service, UDisks2, on the system bus: what the desktop's file managers
// ask. Every call gives up after a short wait, so that a missing or hanging service only means
// that the drives are read without it.
class UDisksClient
{
public:
    // The mounted file systems the service knows; false when it does not answer.
    bool mountedVolumes(std::vector<Volume>& volumes);
    // Renames the file system of a service object; the service runs the file system's own tool
    // and lets the desktop user do so without the administrator.
    bool setLabel(const std::string& object, const std::string& label);
};

} // namespace kx
