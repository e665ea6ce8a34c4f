// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx {

// What a block device's file system says of itself.
struct ProbedVolume
{
    std::string uuid;
    std::string label;
    std::string fileSystem;
};

// The UUID and label of a block device from the links udev keeps in /dev/disk, where it runs,
// and, when `readDevice` allows, from the device's own superblock otherwise.
ProbedVolume describeDevice(const std::string& device, bool readDevice);
// The label as the superblock holds it now: the links follow a rename only later, if at all.
bool readDeviceLabel(const std::string& device, std::string& label);

} // namespace kx
