// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"
#include "platform/linux/Volume.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kx {

// One mounted file system, as the kernel's mount table describes it.
struct MountEntry
{
    // The kernel's number for the mount; a new mount never takes the number of one before it.
    std::string id;
    std::string mountPoint;
    std::string fsType;
    std::string source;
    unsigned major = 0;
    unsigned minor = 0;
};

// The mounts of a /proc/<pid>/mountinfo text, in its order, with the escapes decoded; of the
// mounts on one folder only the one on top.
std::vector<MountEntry> parseMountInfo(const std::string& text);
// The numbers of every mount of a mountinfo text, hidden ones included.
std::set<std::string> mountIdsOf(const std::string& text);
// False for the kernel's own file systems and the system's private mounts.
bool holdsUserData(const MountEntry& mount);
// Where the kernel shows its devices; tests give a tree of their own.
inline constexpr const char* kSysfsRoot = "/sys";

// The drive-type word of a mount: CD, network, RAM disk, removable device or fixed. The device
// is looked up below `sysfs`.
std::string driveTypeOfMount(const MountEntry& mount, const std::string& sysfs = kSysfsRoot);
// The file system's name as the drive queries report it (a FUSE file system by its kind).
std::string fileSystemNameOfMount(const MountEntry& mount);
// The mount holding a canonical path: the one with the longest mount point that contains it.
const MountEntry* mountHolding(const std::vector<MountEntry>& mounts, const std::string& path);

// The drive letters of this system: the `[Drives]` section of the settings plus the mounted
// volumes. An entry the user wrote (`x=folder`, with an optional `x.type` and `x.label`) stays
// as it is and wins; `c` is "/" unless listed. Every other volume that holds user data gets a
// letter that follows the volume, not the folder it is mounted at, kept in entries of the
// detection's own (`x=folder`, `x.volume`, `x.seen`, `x.removable`, `x.seenlabel`).
class DriveTable
{
public:
    // The volumes of the mount table, as known without the volume service, at the present time.
    DriveTable(SettingsStore& settings, const std::string& mountInfo);
    // `presentBefore` holds the identities of the volumes present at the previous reading in
    // this process: one of them gone now was last seen at `now`.
    DriveTable(SettingsStore& settings, const std::string& mountInfo, std::vector<Volume> volumes,
               std::int64_t now, const std::set<std::string>& presentBefore = {});

    std::vector<char> letters() const;
    // The native root folder of a letter (either case); empty when it names no drive.
    std::string root(char letter) const;
    // True for the letter of a volume that is not there now: its folder, if any, is not it.
    bool volumeAbsent(char letter) const;
    // The identities of the volumes present that have a letter.
    std::set<std::string> presentVolumes() const;
    // The drive-type word; empty when the letter names no drive.
    std::string type(char letter);
    // True when the table fixes the label, which is then in `label`.
    bool fixedLabel(char letter, std::string& label) const;
    // The name of the file system holding the root; empty when the root is absent.
    std::string fileSystemName(char letter);
    // The label of the volume mounted at the root; empty for a plain folder.
    std::string fileSystemLabel(char letter);
    // The label the letter's medium was last seen with: the listed one, or else the volume's,
    // remembered while it is away; empty when none is known.
    std::string lastSeenLabel(char letter);
    // The volume mounted at the root; null for a plain folder or an absent volume.
    Volume* volumeOf(char letter);
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
        bool typeListed = false;
        int mountIndex = -1; // the mount found for the root, once found
        bool rootIsMountPoint = false;
        // Kept by the detection: the volume the letter belongs to.
        std::string identity;
        std::int64_t seen = 0;
        std::string seenLabel;
        bool removable = false;
        int volumeIndex = -1; // the volume present, once found; -2 when there is none
        bool absent = false;  // a detected volume that is not there now
    };

    Drive* find(char letter);
    const Drive* find(char letter) const;
    void assignLetters(SettingsStore& settings, std::int64_t now,
                       const std::set<std::string>& presentBefore);

    std::map<char, Drive> m_drives;
    std::vector<MountEntry> m_mounts;
    std::vector<Volume> m_volumes;
};

} // namespace kx
