// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <map>
#include <string>
#include <vector>

namespace kx {

// One mounted file system, as the kernel's mount table describes it.
struct MountEntry
{
    std::string mountPoint;
    std::string fsType;
    std::string source;
    unsigned major = 0;
    unsigned minor = 0;
};

// The mounts of a /proc/<pid>/mountinfo text, in its order, with the escapes decoded.
std::vector<MountEntry> parseMountInfo(const std::string& text);
// False for the kernel's own file systems and the system's private mounts.
bool holdsUserData(const MountEntry& mount);
// The drive-type word of a mount: CD, network, RAM disk, removable device or fixed.
std::string driveTypeOfMount(const MountEntry& mount);
// The file system's name as the drive queries report it (a FUSE file system by its kind).
std::string fileSystemNameOfMount(const MountEntry& mount);
// The mount holding a canonical path: the one with the longest mount point that contains it.
const MountEntry* mountHolding(const std::vector<MountEntry>& mounts, const std::string& path);

// The drive letters of this system: the `[Drives]` section of the settings (letter = folder,
// with an optional `<letter>.type` and `<letter>.label`) plus the mounted file systems. `c` is
// "/" unless listed; every other mount that holds user data gets the next free letter from `d`
// on, and that choice is written back to the settings so that a mount point keeps its letter.
class DriveTable
{
public:
    DriveTable(SettingsStore& settings, const std::string& mountInfo);

    std::vector<char> letters() const;
    // The native root folder of a letter (either case); empty when it names no drive.
    std::string root(char letter) const;
    // The drive-type word; empty when the letter names no drive.
    std::string type(char letter);
    // True when the table fixes the label, which is then in `label`.
    bool fixedLabel(char letter, std::string& label) const;
    // The name of the file system holding the root; empty when the root is absent.
    std::string fileSystemName(char letter);
    // Fixes the label of a letter from now on (the settings are the caller's to write).
    void setFixedLabel(char letter, const std::string& label);
    // The label of the file system mounted at the root; empty for a plain folder.
    std::string fileSystemLabel(char letter);
    // The mount holding the root folder; null when the root is absent or the letter unknown.
    const MountEntry* mountOf(char letter);

private:
    struct Drive
    {
        std::string root;
        std::string type; // as listed, or found once
        std::string label;
        std::string fileSystem; // found once
        bool hasLabel = false;
        int mountIndex = -1; // the mount found for the root, once found
        bool rootIsMountPoint = false;
    };

    Drive* find(char letter);
    const Drive* find(char letter) const;

    std::map<char, Drive> m_drives;
    std::vector<MountEntry> m_mounts;
};

} // namespace kx
