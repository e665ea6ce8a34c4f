// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/DriveTable.h"
#include "platform/linux/UDisksClient.h"
#include "platform/linux/Volume.h"

#include <string>
#include <vector>

namespace kx {

// The volume of a mount, from the mount table, the kernel's account of its device below `sysfs`
// and the device itself: what is known of it when the volume service does not run.
Volume volumeOfMount(const MountEntry& mount, const std::string& sysfs = kSysfsRoot);
// The volumes of the mounts that hold user data.
std::vector<Volume> volumesOfMounts(const std::vector<MountEntry>& mounts,
                                    const std::string& sysfs = kSysfsRoot);

// The mounted volumes of this system and their renaming: through the volume service where it
// runs, else from the mount table, the links of /dev/disk and the devices themselves.
class VolumeSource
{
public:
    // The kernel's devices are looked up below `sysfs`.
    explicit VolumeSource(std::string sysfs = kSysfsRoot);

    // Every mount that holds user data, in the order of the mount table; the service's own
    // account of it where the service knows it, followed by what only the service knows.
    std::vector<Volume> volumes(const std::vector<MountEntry>& mounts);
    // Renames the file system and reads its label afresh into `volume`. False for anything but
    // a file system this system can rename, or when the renaming fails.
    bool setLabel(Volume& volume, const std::string& label);

private:
    std::string m_sysfs;
    UDisksClient m_service;
};

} // namespace kx
