// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/DriveTable.h"

#include "platform/linux/VolumeSource.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kx {

namespace {

constexpr const char* kSection = "Drives";

// A volume's time of last sight is written again only when it is older than this.
constexpr std::int64_t kSeenRefresh = 3600;

// The time of last sight, in UTC: "2026-12-10T17:15:20Z".
std::string formatSeen(std::int64_t seconds)
{
    const time_t time = time_t(seconds);
    struct tm parts;
    if (::gmtime_r(&time, &parts) == nullptr)
        return std::string();
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

// 0, the longest ago, for a time that cannot be read.
std::int64_t parseSeen(const std::string& text)
{
    struct tm parts = {};
    char zone = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &parts.tm_year, &parts.tm_mon,
                    &parts.tm_mday, &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &zone) != 7 ||
        zone != 'Z')
        return 0;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    return std::int64_t(::timegm(&parts));
}

// The kernel escapes blanks, tabs, line breaks and backslashes in the mount table as \ooo.
std::string decodeMountField(std::string_view field)
{
    std::string result;
    result.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (digits.size() == 3 && std::all_of(digits.begin(), digits.end(),
                                                  [](char c) { return c >= '0' && c <= '7'; })) {
                result +=
                    char(((digits[0] - '0') << 6) | ((digits[1] - '0') << 3) | (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        result += field[i];
    }
    return result;
}

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        if (end > pos)
            fields.push_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
    return fields;
}

bool isUnder(const std::string& path, std::string_view folder)
{
    if (path.size() < folder.size() || path.compare(0, folder.size(), folder) != 0)
        return false;
    return path.size() == folder.size() || folder == "/" || path[folder.size()] == '/';
}

bool startsWith(const std::string& text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool isNetworkType(const std::string& fs)
{
    static const std::set<std::string, std::less<>> network = {
        "nfs",          "nfs4",         "cifs",        "smb3",           "smbfs",
        "ncpfs",        "9p",           "afs",         "ceph",           "glusterfs",
        "lustre",       "davfs",        "coda",        "orangefs",       "fuse.sshfs",
        "fuse.rclone",  "fuse.s3fs",    "fuse.davfs2", "fuse.glusterfs", "fuse.curlftpfs",
        "fuse.gcsfuse", "fuse.smbnetfs"};
    return network.count(fs) != 0;
}

std::string readFirstLine(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::string();
    std::array<char, 64> buffer{};
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    ::close(fd);
    if (n <= 0)
        return std::string();
    std::string line(buffer.data(), std::size_t(n));
    line.erase(std::min(line.find('\n'), line.size()));
    return line;
}

std::string canonical(const std::string& path)
{
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) == nullptr)
        return std::string();
    return buffer;
}

// The block device behind a mount: its source when that is a device node (btrfs and the like
// report an anonymous device number in the table), else the table's device number.
bool deviceOf(const MountEntry& mount, dev_t& device)
{
    struct stat st;
    if (startsWith(mount.source, "/dev/") && ::stat(mount.source.c_str(), &st) == 0 &&
        S_ISBLK(st.st_mode)) {
        device = st.st_rdev;
        return true;
    }
    if (mount.major == 0)
        return false;
    device = makedev(mount.major, mount.minor);
    return true;
}

// What Windows calls a removable drive: USB sticks and disks, card readers, anything the kernel
// flags as removable. A USB disk often says it is fixed; its place on the bus tells the truth.
bool isRemovableDevice(const MountEntry& mount, const std::string& sysfs)
{
    dev_t device = 0;
    if (!deviceOf(mount, device))
        return false;
    const std::string path = canonical(sysfs + "/dev/block/" + std::to_string(major(device)) + ":" +
                                       std::to_string(minor(device)));
    if (path.empty())
        return false;
    // Only the device's own place counts, not the folder sysfs is reached through.
    const std::string root = canonical(sysfs);
    const std::string place = isUnder(path, root) ? path.substr(root.size()) : path;
    if (place.find("/usb") != std::string::npos)
        return true;
    std::string disk = path;
    if (::access((path + "/partition").c_str(), F_OK) == 0)
        disk = path.substr(0, path.rfind('/'));
    return readFirstLine(disk + "/removable") == "1" ||
           readFirstLine(disk + "/device/type") == "SD";
}

std::string normalizedRoot(std::string root)
{
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

char driveLetter(char letter)
{
    if (letter >= 'A' && letter <= 'Z')
        return char(letter - 'A' + 'a');
    return letter;
}

bool isLetter(char c)
{
    return c >= 'a' && c <= 'z';
}

bool isDriveTypeWord(const std::string& word)
{
    return word == "DRIVE_REMOVABLE" || word == "DRIVE_FIXED" || word == "DRIVE_REMOTE" ||
           word == "DRIVE_CDROM" || word == "DRIVE_RAMDISK";
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::vector<MountEntry> parseMountInfo(const std::string& text)
{
    std::vector<MountEntry> mounts;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        const std::vector<std::string_view> fields =
            splitFields(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        // id, parent, major:minor, root, mount point, options, optional fields, "-", type,
        // source, super options.
        const auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 7 || dash == fields.end() || dash - fields.begin() < 6 ||
            fields.end() - dash < 3)
            continue;
        MountEntry mount;
        mount.id = std::string(fields[0]);
        mount.mountPoint = decodeMountField(fields[4]);
        mount.fsType = decodeMountField(*(dash + 1));
        mount.source = decodeMountField(*(dash + 2));
        const std::string device(fields[2]);
        const std::size_t colon = device.find(':');
        if (colon != std::string::npos) {
            mount.major = unsigned(std::strtoul(device.c_str(), nullptr, 10));
            mount.minor = unsigned(std::strtoul(device.c_str() + colon + 1, nullptr, 10));
        }
        // A later mount on the same point hides the earlier one.
        mounts.erase(
            std::remove_if(mounts.begin(), mounts.end(),
                           [&](const MountEntry& m) { return m.mountPoint == mount.mountPoint; }),
            mounts.end());
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

bool holdsUserData(const MountEntry& mount)
{
    static const std::set<std::string, std::less<>> systemTypes = {
        "proc",          "sysfs",
        "cgroup",        "cgroup2",
        "devtmpfs",      "devpts",
        "mqueue",        "debugfs",
        "tracefs",       "securityfs",
        "pstore",        "bpf",
        "configfs",      "fusectl",
        "hugetlbfs",     "autofs",
        "binfmt_misc",   "overlay",
        "squashfs",      "efivarfs",
        "rpc_pipefs",    "nsfs",
        "selinuxfs",     "nfsd",
        "swap",          "fuse.lxcfs",
        "fuse.portal",   "fuse.gvfsd-fuse",
        "fuse.snapfuse", "fuse.xdg-document-portal"};
    if (systemTypes.count(mount.fsType) != 0)
        return false;
    const std::string& point = mount.mountPoint;
    if (point.empty() || point[0] != '/')
        return false;
    // The system's own places; removable media mounted by the desktop live under /run/media.
    static const std::array<std::string_view, 9> systemFolders = {"/proc",
                                                                  "/sys",
                                                                  "/dev",
                                                                  "/boot",
                                                                  "/snap",
                                                                  "/var/lib/docker",
                                                                  "/var/lib/containers",
                                                                  "/var/lib/snapd",
                                                                  "/var/lib/kubelet"};
    for (std::string_view folder : systemFolders) {
        if (isUnder(point, folder))
            return false;
    }
    if (isUnder(point, "/run") && !isUnder(point, "/run/media"))
        return false;
    return true;
}

std::string driveTypeOfMount(const MountEntry& mount, const std::string& sysfs)
{
    const std::string& fs = mount.fsType;
    if (fs == "iso9660" || fs == "udf")
        return "DRIVE_CDROM";
    if (isNetworkType(fs))
        return "DRIVE_REMOTE";
    if (fs == "tmpfs" || fs == "ramfs")
        return "DRIVE_RAMDISK";
    if (isRemovableDevice(mount, sysfs))
        return "DRIVE_REMOVABLE";
    return "DRIVE_FIXED";
}

std::string fileSystemNameOfMount(const MountEntry& mount)
{
    const std::string& fs = mount.fsType;
    if (startsWith(fs, "fuse.") && fs.size() > 5)
        return fs.substr(5);
    if (fs == "fuseblk") {
        // A FUSE driver for a disk format does not name the format; its boot sector does.
        std::array<char, 11> sector{};
        const int fd = ::open(mount.source.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            const ssize_t n = ::pread(fd, sector.data(), sector.size(), 0);
            ::close(fd);
            if (n == ssize_t(sector.size())) {
                const std::string_view oem(sector.data() + 3, 8);
                if (oem == "NTFS    ")
                    return "ntfs";
                if (oem == "EXFAT   ")
                    return "exfat";
            }
        }
    }
    return fs;
}

std::set<std::string> mountIdsOf(const std::string& text)
{
    std::set<std::string> ids;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        const std::vector<std::string_view> fields =
            splitFields(std::string_view(text).substr(pos, end - pos));
        if (!fields.empty())
            ids.insert(std::string(fields[0]));
        pos = end + 1;
    }
    return ids;
}

const MountEntry* mountHolding(const std::vector<MountEntry>& mounts, const std::string& path)
{
    const MountEntry* best = nullptr;
    for (const MountEntry& mount : mounts) {
        if (isUnder(path, mount.mountPoint) &&
            (best == nullptr || mount.mountPoint.size() > best->mountPoint.size()))
            best = &mount;
    }
    return best;
}

DriveTable::DriveTable(SettingsStore& settings, const std::string& mountInfo)
    : DriveTable(settings, mountInfo, volumesOfMounts(parseMountInfo(mountInfo)),
                 std::int64_t(::time(nullptr)))
{
}

DriveTable::DriveTable(SettingsStore& settings, const std::string& mountInfo,
                       std::vector<Volume> volumes, std::int64_t now,
                       const std::set<std::string>& presentBefore)
    : m_mounts(parseMountInfo(mountInfo)), m_volumes(std::move(volumes))
{
    const std::vector<std::string> idents = settings.idents(kSection);
    for (const std::string& ident : idents) {
        if (ident.size() != 1 || !isLetter(driveLetter(ident[0])))
            continue;
        const std::string folder = normalizedRoot(settings.readString(kSection, ident, ""));
        if (!folder.empty() && folder[0] == '/')
            m_drives[driveLetter(ident[0])].root = folder;
    }
    if (m_drives.count('c') == 0)
        m_drives['c'].root = "/";

    for (const std::string& ident : idents) {
        Drive* drive = ident.size() > 2 && ident[1] == '.' ? find(ident[0]) : nullptr;
        if (drive == nullptr)
            continue;
        const std::string attribute = ident.substr(2);
        if (attribute == "type") {
            const std::string type = settings.readString(kSection, ident, "");
            if (isDriveTypeWord(type)) {
                drive->type = type;
                drive->typeListed = true;
            }
        } else if (attribute == "label") {
            drive->label = settings.readString(kSection, ident, "");
            drive->hasLabel = true;
        } else if (attribute == "volume") {
            drive->identity = settings.readString(kSection, ident, "");
        } else if (attribute == "seen") {
            drive->seen = parseSeen(settings.readString(kSection, ident, ""));
        } else if (attribute == "removable") {
            drive->removable = settings.readFlag(kSection, ident, false);
        } else if (attribute == "seenlabel") {
            drive->seenLabel = settings.readString(kSection, ident, "");
        }
    }
    assignLetters(settings, now, presentBefore);
}

void DriveTable::assignLetters(SettingsStore& settings, std::int64_t now,
                               const std::set<std::string>& presentBefore)
{
    // A folder the user listed is that letter's drive, whatever is mounted there.
    std::set<std::string> listedRoots;
    for (const auto& [letter, drive] : m_drives) {
        if (drive.identity.empty())
            listedRoots.insert(drive.root);
    }
    std::vector<std::size_t> candidates;
    std::set<std::string> points;
    for (std::size_t i = 0; i < m_volumes.size(); ++i) {
        const Volume& volume = m_volumes[i];
        MountEntry place;
        place.mountPoint = volume.mountPoint;
        if (volume.mountPoint == "/" || !holdsUserData(place) ||
            listedRoots.count(volume.mountPoint) != 0 || !points.insert(volume.mountPoint).second)
            continue;
        // Files mounted over files (a container's /etc/hosts) are no drives. A network share
        // is not asked: a server that is away would stall the start.
        if (volume.driveType != "DRIVE_REMOTE" && !isDirectory(volume.mountPoint))
            continue;
        candidates.push_back(i);
    }

    std::set<char> claimed;
    std::set<char> changed;
    const auto attach = [&](char letter, Drive& drive, std::size_t index) {
        const Volume& volume = m_volumes[index];
        claimed.insert(letter);
        drive.volumeIndex = int(index);
        if (!drive.typeListed)
            drive.type = volume.driveType;
        // Remembered for the user while the medium is away: "e: (STICK) is not mounted".
        if (drive.root != volume.mountPoint || drive.removable != volume.removable ||
            drive.seenLabel != volume.label)
            changed.insert(letter);
        drive.root = volume.mountPoint;
        drive.removable = volume.removable;
        drive.seenLabel = volume.label;
        // Seen again: written only now and then, so that a start does not rewrite the settings.
        if (now - drive.seen >= kSeenRefresh || drive.seen > now) {
            drive.seen = now;
            changed.insert(letter);
        }
    };

    // A volume that has a letter keeps it, wherever it is mounted now.
    std::vector<std::size_t> waiting;
    for (const std::size_t index : candidates) {
        const std::string identity = m_volumes[index].identity();
        const auto owner = std::find_if(m_drives.begin(), m_drives.end(), [&](const auto& entry) {
            return entry.second.identity == identity && claimed.count(entry.first) == 0;
        });
        if (owner == m_drives.end())
            waiting.push_back(index);
        else
            attach(owner->first, owner->second, index);
    }

    for (auto& [letter, drive] : m_drives) {
        if (drive.identity.empty() || claimed.count(letter) != 0)
            continue;
        // Gone: the letter stays the volume's, its drive not ready until it is back. One that was
        // there at the last reading was taken out just now, before a new one is given a letter.
        drive.absent = true;
        drive.volumeIndex = -2;
        if (presentBefore.count(drive.identity) != 0) {
            drive.seen = now;
            changed.insert(letter);
        }
    }

    // The letter of a detected volume that is not there, the one seen last or first.
    const auto absentLetter = [&](bool removableOnly, bool latest) {
        char best = 0;
        std::int64_t bestSeen = 0;
        for (const auto& [letter, drive] : m_drives) {
            if (drive.identity.empty() || claimed.count(letter) != 0 ||
                (removableOnly && !drive.removable))
                continue;
            if (best == 0 || (latest ? drive.seen > bestSeen : drive.seen < bestSeen)) {
                best = letter;
                bestSeen = drive.seen;
            }
        }
        return best;
    };
    for (const std::size_t index : waiting) {
        const Volume& volume = m_volumes[index];
        char letter = 0;
        // A stick put in where another was taken out is where the user looks for it: Duplicate
        // asks for the new medium in the drive of the original.
        if (volume.removable)
            letter = absentLetter(true, true);
        for (char next = 'd'; letter == 0 && next <= 'z'; ++next) {
            if (m_drives.count(next) == 0)
                letter = next;
        }
        // Every letter is taken: the volume away longest gives its letter up. Its records on
        // the media keep their keys.
        if (letter == 0)
            letter = absentLetter(false, false);
        if (letter == 0)
            continue;
        Drive& drive = m_drives[letter];
        Drive fresh;
        fresh.identity = volume.identity();
        // What the user wrote for the letter stays the letter's.
        fresh.label = drive.label;
        fresh.hasLabel = drive.hasLabel;
        fresh.typeListed = drive.typeListed;
        if (drive.typeListed)
            fresh.type = drive.type;
        drive = fresh;
        attach(letter, drive, index);
        changed.insert(letter);
    }

    for (const char letter : changed) {
        const Drive& drive = m_drives[letter];
        const std::string key(1, letter);
        settings.writeString(kSection, key, drive.root);
        settings.writeString(kSection, key + ".volume", drive.identity);
        settings.writeString(kSection, key + ".seen", formatSeen(drive.seen));
        settings.writeFlag(kSection, key + ".removable", drive.removable);
        settings.writeString(kSection, key + ".seenlabel", drive.seenLabel);
    }
    if (!changed.empty())
        settings.sync();
}

DriveTable::Drive* DriveTable::find(char letter)
{
    const auto it = m_drives.find(driveLetter(letter));
    return it == m_drives.end() ? nullptr : &it->second;
}

const DriveTable::Drive* DriveTable::find(char letter) const
{
    const auto it = m_drives.find(driveLetter(letter));
    return it == m_drives.end() ? nullptr : &it->second;
}

std::vector<char> DriveTable::letters() const
{
    std::vector<char> result;
    for (const auto& [letter, drive] : m_drives)
        result.push_back(letter);
    return result;
}

std::string DriveTable::root(char letter) const
{
    const Drive* drive = find(letter);
    return drive ? drive->root : std::string();
}

std::string DriveTable::type(char letter)
{
    Drive* drive = find(letter);
    if (drive == nullptr)
        return std::string();
    if (!drive->type.empty())
        return drive->type;
    if (drive->absent)
        return drive->removable ? "DRIVE_REMOVABLE" : "DRIVE_FIXED";
    if (const Volume* volume = volumeOf(letter)) {
        drive->type = volume->driveType;
        return drive->type;
    }
    if (const MountEntry* mount = mountOf(letter)) {
        drive->type = driveTypeOfMount(*mount);
        return drive->type;
    }
    // A folder that is not there stands for a drive without its medium, as a card reader
    // without a card; it is typed again once it appears.
    if (!isDirectory(drive->root))
        return "DRIVE_REMOVABLE";
    drive->type = "DRIVE_FIXED";
    return drive->type;
}

bool DriveTable::fixedLabel(char letter, std::string& label) const
{
    const Drive* drive = find(letter);
    if (drive == nullptr || !drive->hasLabel)
        return false;
    label = drive->label;
    return true;
}

const MountEntry* DriveTable::mountOf(char letter)
{
    Drive* drive = find(letter);
    if (drive == nullptr || drive->absent)
        return nullptr;
    if (drive->mountIndex >= 0)
        return &m_mounts[std::size_t(drive->mountIndex)];
    const std::string path = canonical(drive->root);
    if (path.empty())
        return nullptr;
    const MountEntry* mount = mountHolding(m_mounts, path);
    if (mount == nullptr)
        return nullptr;
    drive->mountIndex = int(mount - m_mounts.data());
    drive->rootIsMountPoint = mount->mountPoint == path;
    return mount;
}

std::string DriveTable::fileSystemName(char letter)
{
    if (const Volume* volume = volumeOf(letter); volume && !volume->fileSystem.empty())
        return volume->fileSystem;
    const MountEntry* mount = mountOf(letter);
    if (mount == nullptr)
        return std::string();
    Drive* drive = find(letter);
    if (drive->fileSystem.empty())
        drive->fileSystem = fileSystemNameOfMount(*mount);
    return drive->fileSystem;
}

std::string DriveTable::fileSystemLabel(char letter)
{
    // A plain folder standing for a drive is no volume and has no label of its own.
    const Volume* volume = volumeOf(letter);
    return volume ? volume->label : std::string();
}

std::string DriveTable::lastSeenLabel(char letter)
{
    std::string label;
    if (fixedLabel(letter, label))
        return label;
    if (const Volume* volume = volumeOf(letter))
        return volume->label;
    const Drive* drive = find(letter);
    return drive ? drive->seenLabel : std::string();
}

Volume* DriveTable::volumeOf(char letter)
{
    Drive* drive = find(letter);
    if (drive == nullptr || drive->absent)
        return nullptr;
    if (drive->volumeIndex == -1) {
        drive->volumeIndex = -2;
        const std::string path = canonical(drive->root);
        for (std::size_t i = 0; i < m_volumes.size(); ++i) {
            if (m_volumes[i].mountPoint == drive->root || m_volumes[i].mountPoint == path) {
                drive->volumeIndex = int(i);
                break;
            }
        }
    }
    return drive->volumeIndex >= 0 ? &m_volumes[std::size_t(drive->volumeIndex)] : nullptr;
}

bool DriveTable::volumeAbsent(char letter) const
{
    const Drive* drive = find(letter);
    return drive != nullptr && drive->absent;
}

std::set<std::string> DriveTable::presentVolumes() const
{
    std::set<std::string> present;
    for (const auto& [letter, drive] : m_drives) {
        if (!drive.identity.empty() && !drive.absent)
            present.insert(drive.identity);
    }
    return present;
}

} // namespace kx
