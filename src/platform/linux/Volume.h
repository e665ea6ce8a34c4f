// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx {

// A mounted file system as the volume service (or, without it, the mount table and the devices
// themselves) describes it.
struct Volume
{
    std::string mountPoint;
    std::string device; // the block device; empty for a file system without one
    std::string uuid;
    std::string label;
    std::string fileSystem; // "vfat", "exfat", "ext4", "tmpfs", ...
    std::string driveType;  // the drive-type word
    bool removable = false;
    std::string serviceObject; // the volume service's object for it; empty without the service

    // What the volume is known by from one mount to the next: its UUID, else its device, else
    // its mount folder. The kinds are kept apart so that a folder can never pass for a UUID.
    std::string identity() const;
};

} // namespace kx
