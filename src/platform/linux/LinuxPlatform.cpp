// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxPlatform.h"

#include "platform/OperationRun.h"
#include "platform/linux/ConfinedFolder.h"
#include "platform/linux/DateTimeText.h"
#include "platform/linux/DriveTable.h"
#include "platform/linux/FileComparer.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/VolumeSource.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTime>
#include <QTimeZone>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string_view>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace kx {

namespace {

// Files this program is still writing; listings never show them.
constexpr std::string_view kTempPrefix = ".kopierix-tmp-";

// The folder listings kept for the matching without regard to case; beyond this the memory is
// cleared and starts again.
constexpr std::size_t kMaxRememberedFolders = 4096;

constexpr int kNotFoundFile = 2;
constexpr int kNotFoundPath = 3;
constexpr int kAccessDenied = 5;
constexpr int kNoDrive = 15;
constexpr int kNotReady = 21;
constexpr int kInUse = 32;
constexpr int kNetworkGone = 51;
constexpr int kDiskFull = 112;
constexpr int kDeviceError = 1117;
constexpr int kBadName = 123;

SystemError systemError(int code, const std::string& message)
{
    SystemError error;
    error.code = code;
    error.message = message;
    return error;
}

SystemError notReady()
{
    return systemError(kNotReady, "The device is not ready");
}

SystemError noSuchDrive()
{
    return systemError(kNoDrive, "The system cannot find the drive specified");
}

SystemError noSuchPath()
{
    return systemError(kNotFoundPath, "The system cannot find the path specified");
}

SystemError accessDenied()
{
    return systemError(kAccessDenied, std::strerror(EACCES));
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

std::string lowerAscii(std::string text)
{
    for (char& c : text)
        c = lowerAscii(c);
    return text;
}

bool isTempName(const char* name)
{
    return std::strncmp(name, kTempPrefix.data(), kTempPrefix.size()) == 0;
}

// A backslash is a separator in a drive path, so a native name that holds one shows it as the
// private-use character U+F05C, as Cygwin and WSL do; the way back turns it into "\" again.
constexpr std::string_view kBackslashStandIn = "\xEF\x81\x9C";

std::string toDriveName(std::string_view native)
{
    std::string name;
    name.reserve(native.size());
    for (const char c : native) {
        if (c == '\\')
            name.append(kBackslashStandIn);
        else
            name.push_back(c);
    }
    return name;
}

std::string toNativeName(std::string_view name)
{
    std::string native;
    native.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        if (name.compare(pos, kBackslashStandIn.size(), kBackslashStandIn) == 0) {
            native.push_back('\\');
            pos += kBackslashStandIn.size();
        } else {
            native.push_back(name[pos++]);
        }
    }
    return native;
}

const std::string& hostName()
{
    static const std::string name = [] {
        char buffer[256] = {};
        if (::gethostname(buffer, sizeof buffer - 1) != 0)
            return std::string();
        return std::string(buffer);
    }();
    return name;
}

// A temporary copy is named after the process that writes it, its user, the run of an operation
// it belongs to (0 outside one) and its computer:
// ".kopierix-tmp-<pid>-<n>-<random>-u<uid>-r<run>@<host>". Names without the user and the run
// come from earlier versions of the program.
std::string tempName()
{
    thread_local unsigned counter = 0;
    thread_local std::mt19937 random{std::random_device{}()};
    char run[24];
    std::snprintf(run, sizeof run, "%llx",
                  static_cast<unsigned long long>(operationRun::current()));
    return std::string(kTempPrefix) + std::to_string(::getpid()) + "-" + std::to_string(++counter) +
           "-" + std::to_string(random()) + "-u" + std::to_string(::geteuid()) + "-r" + run + "@" +
           hostName();
}

// What a temporary file's name tells of the run that wrote it.
struct TempOrigin
{
    long pid = 0;
    bool hasRun = false; // the name carries the user and the run
    unsigned long uid = 0;
    std::uint64_t run = 0;
};

bool parseTempName(const char* name, TempOrigin& origin)
{
    if (!isTempName(name))
        return false;
    const char* at = std::strrchr(name, '@');
    if (at == nullptr || hostName().empty() || hostName() != at + 1)
        return false;
    const char* fields = name + kTempPrefix.size();
    char* end = nullptr;
    errno = 0;
    origin.pid = std::strtol(fields, &end, 10);
    if (end == fields || *end != '-' || origin.pid <= 0 || errno != 0)
        return false;
    // The user and the run are the last two fields before the computer.
    const std::string_view rest(end, std::size_t(at - end));
    const std::size_t runField = rest.rfind("-r");
    const std::size_t userField = runField == std::string_view::npos || runField == 0
                                      ? std::string_view::npos
                                      : rest.rfind("-u", runField - 1);
    if (userField == std::string_view::npos)
        return true;
    const std::string user(rest.substr(userField + 2, runField - userField - 2));
    const std::string run(rest.substr(runField + 2));
    char* userEnd = nullptr;
    char* runEnd = nullptr;
    const unsigned long uid = std::strtoul(user.c_str(), &userEnd, 10);
    const unsigned long long token = std::strtoull(run.c_str(), &runEnd, 16);
    if (user.empty() || run.empty() || *userEnd != '\0' || *runEnd != '\0')
        return true;
    origin.hasRun = true;
    origin.uid = uid;
    origin.run = std::uint64_t(token);
    return true;
}

// True for a temporary file of this computer that no run will finish: its process is gone, or,
// while this process holds the operation lock, it belongs to another run of this user (no other
// run of this user is active then, however alive the number of its process looks). Another
// computer's files on a shared medium, another user's, and those of a run that may still be
// going are left alone.
bool isStaleTemp(const char* name)
{
    TempOrigin origin;
    if (!parseTempName(name, origin))
        return false;
    if (origin.hasRun) {
        if (origin.uid != ::geteuid())
            return false;
        const std::uint64_t current = operationRun::current();
        if (current != 0 && origin.run != 0)
            return origin.run != current;
    }
    if (::kill(pid_t(origin.pid), 0) == 0)
        return false;
    // A process this user may not signal is another user's: not the run that wrote the file.
    return errno == ESRCH || (origin.hasRun && errno == EPERM);
}

// Removes a leftover temporary file, or the empty folder a check for a folder's use left.
void removeStaleTemp(int folder, const char* name)
{
    if (::unlinkat(folder, name, 0) != 0 && (errno == EISDIR || errno == EPERM))
        (void)::unlinkat(folder, name, AT_REMOVEDIR);
}

std::string append(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isDriveLetter(char c)
{
    const char lower = lowerAscii(c);
    return lower >= 'a' && lower <= 'z';
}

bool isAbsoluteDrivePath(const std::string& path)
{
    return path.size() >= 2 && path[1] == ':' && isDriveLetter(path[0]);
}

// Splits a drive path into its letter and its names. A path without a letter is taken from
// the current folder, as the system the rules were written for does; "." and ".." are folded
// away so that no path climbs out of its drive.
bool splitDrivePath(const std::string& path, const std::string& current, char& letter,
                    std::vector<std::string>& parts)
{
    std::string full;
    if (isAbsoluteDrivePath(path))
        full = path;
    else if (path.empty())
        return false;
    else if (path[0] == '\\' || path[0] == '/')
        full = current.substr(0, 2) + path;
    else
        full = current + "\\" + path;
    letter = lowerAscii(full[0]);
    parts.clear();
    std::size_t pos = 2;
    while (pos <= full.size()) {
        const std::size_t end = std::min(full.find_first_of("\\/", pos), full.size());
        const std::string name = full.substr(pos, end - pos);
        if (name == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!name.empty() && name != ".") {
            parts.push_back(toNativeName(name));
        }
        pos = end + 1;
    }
    return true;
}

std::string joinNative(const std::string& root, const std::vector<std::string>& parts,
                       std::size_t count)
{
    std::string path = root;
    for (std::size_t i = 0; i < count; ++i)
        path = append(path, parts[i]);
    return path;
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// What copyData returns when the stop flag ended the copy between two chunks.
constexpr int kCopyStopped = -1;

// Copies the rest of `in` to `out`: in the kernel where the file systems allow it, else
// through a buffer. Returns 0, kCopyStopped, or the errno of the failure. `stopped` is asked
// between chunks, so that a stop need not wait for the end of a large file; the chunks stay
// large enough that asking costs nothing.
template <typename Stopped> int copyData(int in, int out, off_t expectedSize, Stopped stopped)
{
    bool inKernel = true;
    off_t copied = 0;
    while (inKernel) {
        if (stopped())
            return kCopyStopped;
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, std::size_t(64) << 20, 0);
        if (n > 0) {
            copied += n;
            continue;
        }
        if (n == 0) {
            // Some file systems answer an empty copy for a file that has contents.
            if (copied == 0 && expectedSize > 0) {
                inKernel = false;
                continue;
            }
            return 0;
        }
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)
            inKernel = false;
        else
            return errno;
    }
    std::vector<char> buffer(std::size_t(1) << 20);
    for (;;) {
        if (stopped())
            return kCopyStopped;
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        if (!writeAll(out, buffer.data(), std::size_t(n)))
            return errno;
    }
}

// Creates a new hidden temporary file in the open folder `folder`; its name goes to `temp`.
int openTempIn(int folder, mode_t mode, std::string& temp)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = tempName();
        const int fd = ::openat(folder, temp.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// What stands where a file is to go when it is neither a file nor a folder; null otherwise.
const char* whatIsInTheWay(mode_t mode)
{
    if (S_ISLNK(mode))
        return "A symbolic link is in the way";
    if (S_ISFIFO(mode))
        return "A named pipe is in the way";
    if (S_ISSOCK(mode))
        return "A socket is in the way";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "A device is in the way";
    return nullptr;
}

// The names of a native path below its drive's root, "/"-separated; empty for the root itself.
std::string belowRoot(const std::string& root, const std::string& native)
{
    std::size_t start = root.size();
    while (start < native.size() && native[start] == '/')
        ++start;
    return start < native.size() ? native.substr(start) : std::string();
}

mode_t processUmask()
{
    static const mode_t mask = [] {
        const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
        mode_t result = 022;
        if (fd < 0)
            return result;
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
        ::close(fd);
        if (n > 0) {
            buffer[n] = '\0';
            if (const char* line = std::strstr(buffer, "Umask:"))
                result = mode_t(std::strtoul(line + 6, nullptr, 8));
        }
        return result;
    }();
    return mask;
}

// Writes what is pending to the medium: the one file at `path`, or the whole file system that
// holds it. Returns 0 or the errno of the failure.
int flushToMedium(const std::string& path, bool wholeFileSystem)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int err = (wholeFileSystem ? ::syncfs(fd) : ::fdatasync(fd)) == 0 ? 0 : errno;
    ::close(fd);
    return err;
}

void fillFromStat(FileInfo& info, const struct stat& st)
{
    info.isDir = S_ISDIR(st.st_mode);
    info.isReadOnly = (st.st_mode & S_IWUSR) == 0;
    info.size = info.isDir ? 0 : std::int64_t(st.st_size);
    info.mtime = std::int64_t(st.st_mtim.tv_sec);
    info.mtimeTicks = std::int32_t(st.st_mtim.tv_nsec / 100);
}

// The status of entry `name` of the folder open as `fd` on `device`, as a listing reports it;
// false for an entry that is gone or that holds nothing to back up.
bool entryStatus(int fd, const char* name, dev_t device, FileInfo& info)
{
    struct stat st;
    if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false; // gone since the folder was read
    if (S_ISLNK(st.st_mode)) {
        // A link reports what it points at; the walks see isLink and never enter a linked
        // folder, which could point back at its own folder. A link that points nowhere is
        // listed as itself.
        info.isLink = true;
        struct stat target;
        if (::fstatat(fd, name, &target, 0) == 0) {
            if (!S_ISREG(target.st_mode) && !S_ISDIR(target.st_mode))
                return false;
            st = target;
        }
        fillFromStat(info, st);
        return true;
    }
    if (S_ISDIR(st.st_mode)) {
        fillFromStat(info, st);
        info.otherDevice = st.st_dev != device;
        return true;
    }
    if (S_ISREG(st.st_mode)) {
        fillFromStat(info, st);
        return true;
    }
    return false; // pipes, sockets and devices hold nothing to back up
}

// Streams one folder: one open handle, and a status query per entry, which the walks may ask
// for later and on other threads.
class LinuxDirListing : public DirListing
{
public:
    LinuxDirListing(DIR* dir, dev_t device, std::function<void()> whenRead)
        : m_dir(dir), m_device(device), m_whenRead(std::move(whenRead))
    {
    }
    ~LinuxDirListing() override { ::closedir(m_dir); }
    LinuxDirListing(const LinuxDirListing&) = delete;
    LinuxDirListing& operator=(const LinuxDirListing&) = delete;

    bool next(FileInfo& entry) override { return nextWithStatus(entry); }

    bool nextName(ListedName& entry) override
    {
        const int fd = ::dirfd(m_dir);
        while (const dirent* item = ::readdir(m_dir)) {
            const char* name = item->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            if (isTempName(name)) {
                // What a killed run left behind would take room on the medium for ever.
                if (isStaleTemp(name))
                    removeStaleTemp(fd, name);
                continue;
            }
            switch (item->d_type) {
            case DT_REG:
                entry.kind = ListedName::File;
                break;
            case DT_DIR:
                entry.kind = ListedName::Folder;
                break;
            case DT_LNK:
                entry.kind = ListedName::Link;
                break;
            case DT_UNKNOWN:
                entry.kind = ListedName::Unknown;
                break;
            default:
                continue; // pipes, sockets and devices hold nothing to back up
            }
            entry.info = FileInfo{};
            entry.info.name = toDriveName(name);
            entry.info.isHidden = name[0] == '.';
            entry.known = false;
            return true;
        }
        // Read to its end: what dead runs left here is gone now.
        if (m_whenRead) {
            m_whenRead();
            m_whenRead = nullptr;
        }
        return false;
    }

    bool status(ListedName& entry) const override
    {
        if (entry.known)
            return true;
        if (!entryStatus(::dirfd(m_dir), toNativeName(entry.info.name).c_str(), m_device,
                         entry.info))
            return false;
        entry.known = true;
        return true;
    }

private:
    DIR* m_dir;
    dev_t m_device;
    std::function<void()> m_whenRead;
};

// A folder open by a handle that serves status queries only.
class LinuxFolder : public FolderHandle
{
public:
    explicit LinuxFolder(int fd) : m_fd(fd) {}
    ~LinuxFolder() override { ::close(m_fd); }
    LinuxFolder(const LinuxFolder&) = delete;
    LinuxFolder& operator=(const LinuxFolder&) = delete;

    // As LinuxPlatform::fileStatus, relative to the folder.
    bool status(const std::string& name, FileInfo& info) const override
    {
        const std::string native = toNativeName(name);
        struct stat st;
        if (::fstatat(m_fd, native.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        FileInfo result;
        if (S_ISLNK(st.st_mode)) {
            if (::fstatat(m_fd, native.c_str(), &st, 0) != 0)
                return false;
            result.isLink = true;
        }
        fillFromStat(result, st);
        result.isHidden = native.starts_with('.');
        info = std::move(result);
        return true;
    }

private:
    int m_fd;
};

std::string readMountTable()
{
    std::string text;
    const int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, std::size_t(n));
    }
    ::close(fd);
    return text;
}

TransitionRecord transitionRecord(const QDateTime& local)
{
    TransitionRecord record;
    record.year = local.date().year();
    record.month = local.date().month();
    record.dayOfWeek = local.date().dayOfWeek() % 7;
    record.day = local.date().day();
    record.hour = local.time().hour();
    record.minute = local.time().minute();
    record.second = local.time().second();
    return record;
}

} // namespace

std::unique_ptr<Platform> createPlatform()
{
    return std::make_unique<LinuxPlatform>();
}

bool displayAvailable()
{
    // Qt ends the process when its window system cannot connect; ask first. A window system
    // named by the user is taken at its word, except the two that need a server to connect to.
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM").section(QLatin1Char(':'), 0, 0);
    if (chosen.isEmpty())
        return x11 || wayland;
    if (chosen == QLatin1String("xcb"))
        return x11;
    if (chosen.startsWith(QLatin1String("wayland")))
        return wayland;
    return true;
}

LinuxPlatform::LinuxPlatform() : m_volumes(std::make_unique<VolumeSource>()) {}

LinuxPlatform::~LinuxPlatform() = default;

void LinuxPlatform::reloadDrives()
{
    {
        std::lock_guard lock(m_drivesMutex);
        m_drives.reset();
    }
    std::lock_guard lock(m_namesMutex);
    m_folderNames.clear();
}

DriveTable& LinuxPlatform::drives()
{
    std::lock_guard lock(m_drivesMutex);
    if (!m_drives) {
        IniSettingsStore settings(IniSettingsStore::userFile());
        const std::string mountInfo = readMountTable();
        m_drives = std::make_unique<DriveTable>(settings, mountInfo,
                                                m_volumes->volumes(parseMountInfo(mountInfo)),
                                                std::int64_t(::time(nullptr)), m_presentBefore);
        m_presentBefore = m_drives->presentVolumes();
    }
    return *m_drives;
}

// --- Paths ------------------------------------------------------------------------------------

bool LinuxPlatform::presentRoot(char letter, std::string& root, SystemError& error, bool anyRoot)
{
    DriveTable& table = drives();
    root = table.root(letter);
    if (root.empty()) {
        error = noSuchDrive();
        return false;
    }
    // The folder of a volume that is gone is a folder of another file system: nothing is read
    // from it or written into it in the volume's name.
    if (!anyRoot && table.volumeAbsent(letter)) {
        error = notReady();
        return false;
    }
    return true;
}

bool LinuxPlatform::splitPath(const std::string& drivePath, std::string& root,
                              std::vector<std::string>& parts, SystemError& error, bool anyRoot)
{
    char letter = 0;
    const std::string current = isAbsoluteDrivePath(drivePath) ? std::string() : currentDirectory();
    if (!splitDrivePath(drivePath, current, letter, parts)) {
        error = systemError(kBadName,
                            "The filename, directory name, or volume label syntax is incorrect");
        return false;
    }
    return presentRoot(letter, root, error, anyRoot);
}

bool LinuxPlatform::mapExact(const std::string& drivePath, Mapped& mapped, SystemError& error,
                             bool anyRoot)
{
    // The common case, a full path without "." or "..", is mapped in one pass: a walk maps two
    // paths for every file it meets.
    if (isAbsoluteDrivePath(drivePath)) {
        std::string native;
        bool plain = true;
        std::size_t pos = 2;
        while (plain && pos < drivePath.size()) {
            const std::size_t end = std::min(drivePath.find_first_of("\\/", pos), drivePath.size());
            const std::string_view name(drivePath.data() + pos, end - pos);
            if (name == "." || name == "..")
                plain = false;
            else if (!name.empty())
                native.append("/").append(toNativeName(name));
            pos = end + 1;
        }
        if (plain) {
            if (!presentRoot(lowerAscii(drivePath[0]), mapped.root, error, anyRoot))
                return false;
            mapped.native = native.empty() ? mapped.root : append(mapped.root, native.substr(1));
            return true;
        }
    }
    std::vector<std::string> parts;
    if (!splitPath(drivePath, mapped.root, parts, error, anyRoot))
        return false;
    mapped.native = joinNative(mapped.root, parts, parts.size());
    return true;
}

std::string LinuxPlatform::findPath(const std::string& drivePath)
{
    std::string root;
    std::vector<std::string> parts;
    SystemError error;
    if (!splitPath(drivePath, root, parts, error))
        return std::string();
    std::string native = root;
    std::string found = std::string(1, lowerAscii(drivePath[0])) + ":";
    if (!isAbsoluteDrivePath(drivePath))
        found = currentDirectory().substr(0, 2);
    for (const std::string& part : parts) {
        std::string name = part;
        struct stat st;
        if (::lstat(append(native, part).c_str(), &st) != 0) {
            const auto match = matchingName(native, part);
            if (!match)
                return std::string();
            name = *match;
        }
        native = append(native, name);
        found += "\\" + toDriveName(name);
    }
    if (parts.empty()) {
        struct stat st;
        if (::stat(root.c_str(), &st) != 0)
            return std::string();
        found += "\\";
    }
    return found;
}

bool LinuxPlatform::fatFamily(char letter)
{
    const std::string name = lowerAscii(fileSystemName(letter));
    return name == "vfat" || name == "msdos" || name == "fat" || name == "exfat" ||
           name == "fusefat";
}

bool LinuxPlatform::namesIgnoreCase(char letter)
{
    return fatFamily(letter);
}

bool LinuxPlatform::wantsAutorunFile()
{
    // Nothing here reads Autorun.inf; virus scanners flag it on a stick.
    return false;
}

bool LinuxPlatform::mediaTimesFollowDaylightSaving(char /*letter*/)
{
    // The kernel reports every file system's times in UTC (FAT and exFAT are read in the zone
    // the mount names), so a copy and its source never drift apart by the daylight-saving hour.
    return false;
}

bool LinuxPlatform::keepsExactTimes(char letter)
{
    // A medium that cannot be identified may be a FAT one: it keeps the tolerance.
    const std::string name = lowerAscii(fileSystemName(letter));
    return !name.empty() && name != "fuseblk" && !fatFamily(letter);
}

// The one name in `folder` that equals `name` without regard to case; none when there is no
// such name, or when two names differ in case alone: the lookup never picks one of them.
std::optional<std::string> LinuxPlatform::matchingName(const std::string& folder,
                                                       const std::string& name)
{
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    std::lock_guard lock(m_namesMutex);
    auto it = m_folderNames.find(folder);
    if (it == m_folderNames.end() || it->second.mtime.tv_sec != st.st_mtim.tv_sec ||
        it->second.mtime.tv_nsec != st.st_mtim.tv_nsec) {
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr)
            return std::nullopt;
        if (it == m_folderNames.end() && m_folderNames.size() >= kMaxRememberedFolders)
            m_folderNames.clear();
        FolderNames names;
        names.mtime = st.st_mtim;
        while (const dirent* item = ::readdir(dir)) {
            const std::string entry = item->d_name;
            if (entry == "." || entry == ".." || isTempName(item->d_name))
                continue;
            // An empty name marks a lower-case form that two names share.
            auto [slot, added] = names.byLower.emplace(lowerAscii(entry), entry);
            if (!added)
                slot->second.clear();
        }
        ::closedir(dir);
        it = m_folderNames.insert_or_assign(folder, std::move(names)).first;
    }
    const auto match = it->second.byLower.find(lowerAscii(name));
    if (match == it->second.byLower.end() || match->second.empty())
        return std::nullopt;
    return match->second;
}

void LinuxPlatform::forgetFolder(const std::string& folder)
{
    std::lock_guard lock(m_namesMutex);
    m_folderNames.erase(folder);
}

void LinuxPlatform::forgetTree(const std::string& path)
{
    // Every key that begins with `path` sorts in one run from here; of those, the folder itself
    // and the ones below it go.
    std::lock_guard lock(m_namesMutex);
    auto it = m_folderNames.lower_bound(path);
    while (it != m_folderNames.end() && it->first.compare(0, path.size(), path) == 0) {
        if (it->first.size() == path.size() || it->first[path.size()] == '/')
            it = m_folderNames.erase(it);
        else
            ++it;
    }
}

SystemError LinuxPlatform::errorFor(int err, const Mapped& mapped) const
{
    switch (err) {
    case ENOENT:
        if (!isDirectory(mapped.root))
            return notReady();
        if (mapped.native != mapped.root && !isDirectory(parentOf(mapped.native)))
            return noSuchPath();
        return systemError(kNotFoundFile, std::strerror(err));
    case ENOTDIR:
        return noSuchPath();
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return systemError(kAccessDenied, std::strerror(err));
    case EBUSY:
    case ETXTBSY:
        return systemError(kInUse, std::strerror(err));
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENOTCONN:
    case ESTALE:
    case ENETDOWN:
    case ENETUNREACH:
    case ECONNRESET:
    case ECONNABORTED:
        return systemError(kNetworkGone, std::strerror(err));
    case ENOSPC:
    case EDQUOT:
        return systemError(kDiskFull, "There is not enough space on the disk");
    // A medium pulled while mounted.
    case ENOMEDIUM:
    case ENODEV:
    case ENXIO:
        return notReady();
    // Its own number would read as "access denied".
    case EIO:
        return systemError(kDeviceError, std::strerror(err));
    default:
        return systemError(err, std::strerror(err));
    }
}

int LinuxPlatform::openFolderOf(const Mapped& mapped, ConfinedFolder& folder, std::string& name)
{
    const std::string below = belowRoot(mapped.root, mapped.native);
    if (below.empty()) {
        name = ".";
        return folder.open(mapped.root, below);
    }
    const std::size_t slash = below.rfind('/');
    name = slash == std::string::npos ? below : below.substr(slash + 1);
    return folder.open(mapped.root,
                       slash == std::string::npos ? std::string() : below.substr(0, slash));
}

SystemError LinuxPlatform::writeError(int err, const Mapped& mapped) const
{
    if (err == ELOOP)
        return systemError(kAccessDenied, whatIsInTheWay(S_IFLNK));
    return errorFor(err, mapped);
}

SystemError LinuxPlatform::errorForNewName(int err, const Mapped& mapped,
                                           const std::string& from) const
{
    // What a file system refuses to hold: on FAT-family media \ : " * < > ? | and control
    // characters. Kernel drivers answer that the name is invalid; the FUSE driver of exFAT that
    // it does not exist, though its folder (and what was to be renamed) is there.
    SystemError refused = systemError(kBadName, "The medium cannot hold this name");
    struct stat st;
    switch (err) {
    case EINVAL:
    case EILSEQ:
        return refused;
    // Within the system's length for a path, only the name can be too long: the medium's
    // own limit, which a name of many accented letters reaches before 255 bytes.
    case ENAMETOOLONG:
        if (mapped.native.size() < PATH_MAX)
            return systemError(ENAMETOOLONG, "The medium cannot hold a name this long");
        break;
    case ENOENT:
        if (mapped.native != mapped.root && isDirectory(mapped.root) &&
            isDirectory(parentOf(mapped.native)) &&
            (from.empty() || ::lstat(from.c_str(), &st) == 0))
            return refused;
        break;
    default:
        break;
    }
    return writeError(err, mapped);
}

bool LinuxPlatform::checkRoot(char letter, std::string& root, SystemError& error)
{
    if (!presentRoot(letter, root, error, false))
        return false;
    struct stat st;
    if (::stat(root.c_str(), &st) != 0) {
        const int err = errno;
        error = (err == ENOENT || err == ENOTDIR) ? notReady() : errorFor(err, Mapped{root, root});
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = notReady();
        return false;
    }
    return true;
}

// --- Drives -----------------------------------------------------------------------------------

std::vector<char> LinuxPlatform::driveLetters()
{
    return drives().letters();
}

DriveType LinuxPlatform::driveType(char letter)
{
    // The drive table keeps the words of the settings; the program works with the type.
    return driveTypeFromWord(drives().type(letter));
}

Result<std::string> LinuxPlatform::volumeLabel(char letter)
{
    SystemError error;
    std::string label;
    std::string root;
    if (!checkRoot(letter, root, error))
        return error;
    if (!drives().fixedLabel(letter, label))
        label = drives().fileSystemLabel(letter);
    return label;
}

std::string LinuxPlatform::fileSystemName(char letter)
{
    std::string root;
    SystemError error;
    if (!checkRoot(letter, root, error))
        return std::string();
    return drives().fileSystemName(letter);
}

std::int64_t LinuxPlatform::freeSpace(char letter)
{
    std::string root;
    SystemError error;
    struct statvfs st;
    if (!presentRoot(letter, root, error, false) || ::statvfs(root.c_str(), &st) != 0)
        return -1;
    return std::int64_t(st.f_bavail) * std::int64_t(st.f_frsize);
}

std::int64_t LinuxPlatform::totalSpace(char letter)
{
    std::string root;
    SystemError error;
    struct statvfs st;
    if (!presentRoot(letter, root, error, false) || ::statvfs(root.c_str(), &st) != 0)
        return -1;
    return std::int64_t(st.f_blocks) * std::int64_t(st.f_frsize);
}

bool LinuxPlatform::setVolumeLabel(char letter, const std::string& label)
{
    std::string root;
    SystemError error;
    if (!checkRoot(letter, root, error))
        return false;
    // Only the volume itself carries the new name: a name kept by this program alone would
    // leave the original and its copy under one name elsewhere.
    Volume* volume = drives().volumeOf(letter);
    return volume != nullptr && m_volumes->setLabel(*volume, label);
}

Result<void> LinuxPlatform::flushDrive(char letter)
{
    SystemError error;
    std::string root;
    if (!presentRoot(letter, root, error, false))
        return error;
    if (const int err = flushToMedium(root, true))
        return errorFor(err, Mapped{root, root});
    return {};
}

namespace {

// The kernel's own file systems, by the names the mount table gives them. They hold no user
// data: a write there changes the running system or vanishes at the next start.
constexpr std::string_view kPseudoFileSystems[] = {
    "proc",    "sysfs",      "devtmpfs", "devpts",      "cgroup",   "cgroup2",
    "debugfs", "securityfs", "tracefs",  "configfs",    "bpf",      "pstore",
    "mqueue",  "hugetlbfs",  "fusectl",  "binfmt_misc", "efivarfs", "autofs"};

// The same file systems by their statfs numbers, where they have one of their own (devtmpfs
// reports itself as tmpfs: the mount table tells it apart).
struct PseudoMagic
{
    unsigned long magic;
    std::string_view name;
};
constexpr PseudoMagic kPseudoMagics[] = {
    {0x9fa0, "proc"},           {0x62656572, "sysfs"},   {0x1cd1, "devpts"},
    {0x27e0eb, "cgroup"},       {0x63677270, "cgroup2"}, {0x64626720, "debugfs"},
    {0x73636673, "securityfs"}, {0x74726163, "tracefs"}, {0x62656570, "configfs"},
    {0xcafe4a11, "bpf"},        {0x6165676c, "pstore"},  {0x19800202, "mqueue"},
    {0x958458f6, "hugetlbfs"},  {0x65735543, "fusectl"}, {0x42494e4d, "binfmt_misc"},
    {0xde5e81e4, "efivarfs"},   {0x0187, "autofs"}};

// The system's own tmpfs mounts: a backup there is gone at the next start, and writing into
// them can fill what the running system needs. Media mounted below them stay allowed.
bool systemMountRoot(const std::string& folder)
{
    if (folder == "/dev" || folder == "/dev/shm" || folder == "/run")
        return true;
    constexpr std::string_view kUserRuntime = "/run/user/";
    if (!folder.starts_with(kUserRuntime) || folder.size() == kUserRuntime.size())
        return false;
    return std::all_of(folder.begin() + std::ptrdiff_t(kUserRuntime.size()), folder.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::string pseudoFileSystemOf(const std::string& folder)
{
    struct statfs fs;
    if (::statfs(folder.c_str(), &fs) == 0) {
        for (const PseudoMagic& known : kPseudoMagics) {
            if (static_cast<unsigned long>(fs.f_type) == known.magic)
                return std::string(known.name);
        }
    }
    const std::vector<MountEntry> mounts = parseMountInfo(readMountTable());
    if (const MountEntry* mount = mountHolding(mounts, folder)) {
        for (const std::string_view name : kPseudoFileSystems) {
            if (mount->fsType == name)
                return mount->fsType;
        }
    }
    return std::string();
}

// Why a native folder can never hold a backup, judged by what it is and not by how it was
// spelled (a link to "/", "/.", "//"); empty when it can, or when it cannot be found.
std::string unfitFolder(const std::string& nativeFolder)
{
    char buffer[PATH_MAX];
    if (::realpath(nativeFolder.c_str(), buffer) == nullptr)
        return std::string();
    const std::string folder(buffer);
    if (folder == "/")
        return "/ is the system's root: a backup there would copy itself";
    if (systemMountRoot(folder))
        return folder + " is a folder of the running system, not a medium";
    const std::string pseudo = pseudoFileSystemOf(folder);
    if (!pseudo.empty())
        return folder + " lies on the system's " + pseudo + " file system, not on a medium";
    return std::string();
}

} // namespace

std::string LinuxPlatform::unfitForBackup(char letter)
{
    const std::string root = drives().root(lowerAscii(letter));
    return root.empty() ? std::string() : unfitFolder(root);
}

std::string LinuxPlatform::nativePath(const std::string& drivePath)
{
    Mapped mapped;
    SystemError error;
    return mapExact(drivePath, mapped, error, true) ? mapped.native : std::string();
}

std::string LinuxPlatform::displayPath(const std::string& drivePath)
{
    // A letter alone names the drive ("copied to e:"): the letters are what the texts speak of.
    if (drivePath.size() == 2 && drivePath[1] == ':')
        return drivePath;
    // The folder a medium that is away was last mounted at is still where the user looks for
    // it.
    Mapped mapped;
    SystemError error;
    if (mapExact(drivePath, mapped, error, true))
        return mapped.native;
    return toNativeName(drivePath);
}

bool LinuxPlatform::mediumNotMounted(char letter, std::string& label)
{
    // A medium here is mounted, never put in an empty drive: one that is away is not mounted.
    label.clear();
    DriveTable& table = drives();
    if (table.root(letter).empty())
        return false;
    label = table.lastSeenLabel(letter);
    return true;
}

namespace {

// The user's own folder for a duplicate's temporary copies, created when missing; empty when it
// cannot be made.
std::string userCacheArea()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return std::string();
    const QString area = QDir::cleanPath(cache + QStringLiteral("/Kopierix"));
    if (!QDir().mkpath(area))
        return std::string();
    return QFile::encodeName(area).toStdString();
}

// Whether the user may make a folder in `folder`, found by making one and removing it again:
// an access check answers yes to the administrator whatever the folder's mode. The probe bears
// the name of the program's temporary files, so that no listing shows it meanwhile.
bool canMakeFolderIn(const std::string& folder)
{
    const std::string probe = append(folder, tempName());
    if (::mkdir(probe.c_str(), 0700) != 0)
        return false;
    (void)::rmdir(probe.c_str());
    return true;
}

} // namespace

std::string LinuxPlatform::temporaryArea(char letter)
{
    const char drive = lowerAscii(letter);
    std::string root;
    SystemError error;
    if (!checkRoot(drive, root, error))
        return std::string();

    // On the drive that holds the cache folder the area is the user's own folder, since a
    // desktop user may not write in the root of the system's drive.
    const std::string area = userCacheArea();
    if (!area.empty() && canMakeFolderIn(area)) {
        const std::string path = drivePathOf(area);
        if (!path.empty() && lowerAscii(path[0]) == drive)
            return path.back() == '\\' ? path : path + "\\";
    }
    if (!canMakeFolderIn(root))
        return std::string();
    return std::string(1, drive) + ":\\";
}

// --- Files ------------------------------------------------------------------------------------

Result<FileInfo> LinuxPlatform::fileStatus(const std::string& path)
{
    SystemError error;
    Mapped mapped;
    if (!mapExact(path, mapped, error))
        return error;
    struct stat st;
    if (::lstat(mapped.native.c_str(), &st) != 0)
        return errorFor(errno, mapped);
    FileInfo result;
    if (S_ISLNK(st.st_mode)) {
        if (::stat(mapped.native.c_str(), &st) != 0)
            return errorFor(errno, mapped);
        result.isLink = true;
    }
    fillFromStat(result, st);
    result.isHidden = mapped.native != mapped.root && nameOf(mapped.native).starts_with('.');
    return result;
}

Result<std::unique_ptr<DirListing>> LinuxPlatform::openDir(const std::string& path)
{
    SystemError error;
    Mapped mapped;
    if (!mapExact(path, mapped, error))
        return error;
    DIR* dir = ::opendir(mapped.native.c_str());
    if (dir == nullptr) {
        const int err = errno;
        return err == ENOENT && isDirectory(mapped.root) ? noSuchPath() : errorFor(err, mapped);
    }
    struct stat st;
    if (::fstat(::dirfd(dir), &st) != 0) {
        error = errorFor(errno, mapped);
        ::closedir(dir);
        return error;
    }
    return std::unique_ptr<DirListing>(std::make_unique<LinuxDirListing>(
        dir, st.st_dev, [this, folder = mapped.native] { markSwept(folder); }));
}

std::unique_ptr<FolderHandle> LinuxPlatform::openFolder(const std::string& path)
{
    Mapped mapped;
    SystemError error;
    if (!mapExact(path, mapped, error))
        return nullptr;
    const int fd = ::open(mapped.native.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::make_unique<LinuxFolder>(fd);
}

void LinuxPlatform::markSwept(const std::string& folder)
{
    std::lock_guard lock(m_sweptMutex);
    const std::uint64_t run = operationRun::current();
    if (m_swept.size() >= kMaxRememberedFolders || run != m_sweptRun)
        m_swept.clear();
    m_sweptRun = run;
    m_swept.insert(folder);
}

void LinuxPlatform::sweep(const std::string& folder, int folderFd)
{
    {
        // Each run looks again: what a run of this process left when it was cut short is known
        // for a leftover only by a later one.
        std::lock_guard lock(m_sweptMutex);
        if (m_sweptRun == operationRun::current() && m_swept.count(folder) != 0)
            return;
    }
    // Temporary files of a run that was killed lie in the folders it wrote to; a source folder
    // is never listed by a walk, so each folder is looked through once before a copy goes in.
    // Read through the folder already reached below the drive's root, never by its path again:
    // a link put in its place meanwhile would lead the removals elsewhere.
    const int own = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (own < 0)
        return;
    if (DIR* dir = ::fdopendir(own)) {
        const int fd = ::dirfd(dir);
        while (const dirent* item = ::readdir(dir)) {
            if (isStaleTemp(item->d_name))
                removeStaleTemp(fd, item->d_name);
        }
        ::closedir(dir);
        markSwept(folder);
    } else {
        ::close(own);
    }
}

Result<StagedCopy> LinuxPlatform::stageCopy(const std::string& source, const std::string& dest)
{
    SystemError error;
    StagedCopy staged;
    Mapped from, to;
    if (!mapExact(source, from, error) || !mapExact(dest, to, error))
        return error;
    // Not blocking: a named pipe in the place of a file must not stall the run.
    const int in = ::open(from.native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (in < 0)
        return errorFor(errno, from);
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = accessDenied();
        ::close(in);
        return error;
    }
    ConfinedFolder folder;
    std::string name;
    if (const int err = openFolderOf(to, folder, name)) {
        error = writeError(err, to);
        ::close(in);
        return error;
    }
    // Linux replaces a file by renaming over it whatever its permission bits, so a read-only copy
    // is refreshed like any other. A folder in the copy's place stops it, and so does anything
    // else that is not a file: a restore never turns a pipe, a device or a link into a file.
    struct stat old;
    const bool replacing = ::fstatat(folder.fd(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (replacing && !S_ISREG(old.st_mode)) {
        const char* inTheWay = whatIsInTheWay(old.st_mode);
        error = inTheWay != nullptr ? systemError(kAccessDenied, inTheWay) : accessDenied();
        ::close(in);
        return error;
    }
    sweep(parentOf(to.native), folder.fd());
    std::string temp;
    const int out = openTempIn(folder.fd(), S_IRUSR | S_IWUSR, temp);
    if (out < 0) {
        error = errorFor(errno, to);
        ::close(in);
        return error;
    }
    int err = copyData(in, out, st.st_size, [this] { return stopFlagged(); });
    // A source written to while it was read gives a copy that is neither the old file nor the
    // new one; with the old time it would pass for up to date for ever.
    struct stat after;
    const bool changed =
        err == 0 && ::fstat(in, &after) == 0 &&
        (after.st_size != st.st_size || after.st_mtim.tv_sec != st.st_mtim.tv_sec ||
         after.st_mtim.tv_nsec != st.st_mtim.tv_nsec);
    ::close(in);
    // The time to 100 ns, the unit of Windows file times, so that a copy made on either system
    // compares equal to its source.
    const std::int32_t ticks = std::int32_t(st.st_mtim.tv_nsec / 100);
    struct stat written;
    if (err == 0 && !changed) {
        // A file that is replaced keeps its mode. A new one takes its source's, except from a
        // medium without modes (FAT, exFAT report 0777 for everything): there, the user's usual.
        mode_t mode = st.st_mode & 07777;
        if (replacing)
            mode = old.st_mode & 07777;
        else if (fatFamily(isAbsoluteDrivePath(source) ? lowerAscii(source[0])
                                                       : currentDirectory()[0]))
            mode = 0666 & ~processUmask();
        // Best effort: file systems without owners and modes (FAT, exFAT) refuse the mode.
        (void)::fchmod(out, mode);
        timespec times[2] = {st.st_atim, st.st_mtim};
        times[1].tv_nsec = long(ticks) * 100;
        (void)::futimens(out, times);
        // Start writing it out now, so that the flush of the batch finds little left to do.
        (void)::sync_file_range(out, 0, 0, SYNC_FILE_RANGE_WRITE);
        if (::fstat(out, &written) != 0)
            err = errno;
    }
    if (::close(out) != 0 && err == 0)
        err = errno;
    if (err != 0 || changed) {
        ::unlinkat(folder.fd(), temp.c_str(), 0);
        if (changed)
            return systemError(errors::kChangedWhileCopied,
                               "The file changed while it was being copied");
        if (err == kCopyStopped)
            return systemError(errors::kStopped, "Stopped by the user");
        return errorFor(err, to);
    }
    staged.dest = dest;
    staged.temp = append(parentOf(to.native), temp);
    staged.device = std::uint64_t(written.st_dev);
    staged.size = std::int64_t(st.st_size);
    staged.mtime = std::int64_t(st.st_mtim.tv_sec);
    staged.mtimeTicks = ticks;
    return staged;
}

int LinuxPlatform::forceToMedium(int fd, bool wholeFileSystem)
{
    return (wholeFileSystem ? ::syncfs(fd) : ::fdatasync(fd)) == 0 ? 0 : errno;
}

int LinuxPlatform::openStaged(const StagedCopy& staged, int& err)
{
    Mapped to;
    SystemError ignored;
    if (!mapExact(staged.dest, to, ignored)) {
        err = ENOENT;
        return -1;
    }
    ConfinedFolder folder;
    std::string name;
    if ((err = openFolderOf(to, folder, name)) != 0)
        return -1;
    const int fd = ::openat(folder.fd(), nameOf(staged.temp).c_str(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    err = fd < 0 ? errno : 0;
    return fd;
}

Result<void> LinuxPlatform::flushStaged(const std::vector<StagedCopy>& staged)
{
    // One flush of each file system holding a part of the batch: a flush per file would make a
    // USB stick crawl. It goes through a staged file itself, so that it reaches the file
    // system that holds the copies whatever was mounted or swapped on the way there.
    std::vector<std::uint64_t> flushed;
    int unreached = 0;
    std::string unreachedFolder;
    for (const StagedCopy& copy : staged) {
        if (std::find(flushed.begin(), flushed.end(), copy.device) != flushed.end())
            continue;
        int err = 0;
        const int fd = openStaged(copy, err);
        if (fd < 0) {
            // Another copy on the same file system may still be reached.
            unreached = err;
            unreachedFolder = parentOf(copy.temp);
            continue;
        }
        err = forceToMedium(fd, true);
        ::close(fd);
        if (err != 0) {
            const std::string folder = parentOf(copy.temp);
            return errorFor(err, Mapped{folder, folder});
        }
        flushed.push_back(copy.device);
    }
    for (const StagedCopy& copy : staged) {
        if (std::find(flushed.begin(), flushed.end(), copy.device) == flushed.end())
            return writeError(unreached, Mapped{unreachedFolder, unreachedFolder});
    }
    return {};
}

bool LinuxPlatform::putInPlace(int folder, const std::string& temp, const std::string& name,
                               const Mapped& mapped, SystemError& error)
{
    int err = 0;
    const char* inTheWay = nullptr;
    // A file that appears in the empty place between the look and the rename is looked at again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        struct stat st;
        if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            inTheWay = whatIsInTheWay(st.st_mode);
            if (inTheWay == nullptr)
                err = ::renameat(folder, temp.c_str(), folder, name.c_str()) == 0 ? 0 : errno;
            break;
        }
        err = ::renameat2(folder, temp.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0
                  ? 0
                  : errno;
        if (err == EINVAL || err == ENOSYS || err == EOPNOTSUPP)
            err = ::renameat(folder, temp.c_str(), folder, name.c_str()) == 0 ? 0 : errno;
        if (err != EEXIST)
            break;
    }
    forgetFolder(parentOf(mapped.native));
    if (err == 0 && inTheWay == nullptr)
        return true;
    // The reason is worked out while the temporary file is still there to be seen.
    error = inTheWay != nullptr
                ? systemError(kAccessDenied, inTheWay)
                : errorForNewName(err, mapped, append(parentOf(mapped.native), temp));
    ::unlinkat(folder, temp.c_str(), 0);
    return false;
}

Result<void> LinuxPlatform::commitStaged(const StagedCopy& staged)
{
    SystemError error;
    Mapped to;
    if (!mapExact(staged.dest, to, error)) {
        discardStaged(staged);
        return error;
    }
    // A folder swapped for a link since the copy was staged holds the temporary file out of
    // reach: it stays on the medium, where the next run's sweep of that folder finds it.
    ConfinedFolder folder;
    std::string name;
    if (const int err = openFolderOf(to, folder, name))
        return writeError(err, to);
    if (!putInPlace(folder.fd(), nameOf(staged.temp), name, to, error))
        return error;
    return {};
}

void LinuxPlatform::discardStaged(const StagedCopy& staged)
{
    Mapped to;
    SystemError ignored;
    ConfinedFolder folder;
    std::string name;
    if (mapExact(staged.dest, to, ignored) && openFolderOf(to, folder, name) == 0)
        ::unlinkat(folder.fd(), nameOf(staged.temp).c_str(), 0);
}

Result<void> LinuxPlatform::copyFile(const std::string& source, const std::string& dest)
{
    Result<StagedCopy> stagedCopy = stageCopy(source, dest);
    if (!stagedCopy)
        return stagedCopy.error();
    const StagedCopy& staged = stagedCopy.value();
    // A single copy is flushed by itself: its file alone, not the whole file system.
    int err = 0;
    const int fd = openStaged(staged, err);
    if (fd >= 0) {
        err = forceToMedium(fd, false);
        ::close(fd);
    }
    if (err != 0) {
        discardStaged(staged);
        Mapped to;
        SystemError ignored;
        return mapExact(dest, to, ignored)
                   ? writeError(err, to)
                   : errorFor(err, Mapped{parentOf(staged.temp), staged.temp});
    }
    return commitStaged(staged);
}

namespace {

// The folders of the last pair a thread compared, kept open for the run: the files of a folder
// follow one another in a walk, and a name opened in an open folder costs one lookup instead of
// one for each name of its path.
struct ComparedFolders
{
    std::uint64_t run = 0;
    std::string folder[2];
    int fd[2] = {-1, -1};

    ~ComparedFolders() { forget(); }
    void forget()
    {
        for (int i = 0; i < 2; ++i) {
            if (fd[i] >= 0)
                ::close(fd[i]);
            fd[i] = -1;
            folder[i].clear();
        }
    }
};

// Opens a file of a comparison for reading, `side` 0 or 1, through its folder when that is
// open already. Not blocking: a named pipe in the place of a file must not stall the run.
int openCompared(int side, const std::string& native)
{
    constexpr int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    thread_local ComparedFolders folders;
    const std::size_t slash = native.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return ::open(native.c_str(), flags);
    if (folders.run != operationRun::current()) {
        folders.forget();
        folders.run = operationRun::current();
    }
    const std::string_view folder(native.data(), slash);
    if (folders.fd[side] < 0 || folders.folder[side] != folder) {
        if (folders.fd[side] >= 0)
            ::close(folders.fd[side]);
        folders.folder[side] = folder;
        folders.fd[side] = ::open(folders.folder[side].c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (folders.fd[side] < 0) {
            folders.folder[side].clear();
            return ::open(native.c_str(), flags);
        }
    }
    return ::openat(folders.fd[side], native.c_str() + slash + 1, flags);
}

} // namespace

FileComparison LinuxPlatform::compareFiles(const std::string& first, const std::string& second)
{
    FileComparison result;
    Mapped mapped[2];
    int fds[2] = {-1, -1};
    struct stat before[2];
    const std::string* paths[2] = {&first, &second};
    auto closeBoth = [&] {
        for (const int fd : fds) {
            if (fd >= 0)
                ::close(fd);
        }
    };
    // What is not a file cannot be read as one.
    auto notAFile = [&](int i) {
        if (::fstat(fds[i], &before[i]) != 0) {
            result.error = errorFor(errno, mapped[i]);
            return true;
        }
        if (S_ISREG(before[i].st_mode))
            return false;
        result.error = S_ISDIR(before[i].st_mode) ? errorFor(EISDIR, mapped[i]) : accessDenied();
        return true;
    };
    for (int i = 0; i < 2; ++i) {
        result.failedFile = i;
        if (!mapExact(*paths[i], mapped[i], result.error)) {
            closeBoth();
            return result;
        }
        fds[i] = openCompared(i, mapped[i].native);
        if (fds[i] < 0) {
            result.error = errorFor(errno, mapped[i]);
            closeBoth();
            return result;
        }
    }
    for (int i = 0; i < 2; ++i) {
        result.failedFile = i;
        if (notAFile(i)) {
            closeBoth();
            return result;
        }
    }
    result.failedFile = 0;
    if (before[0].st_size != before[1].st_size) {
        closeBoth();
        result.outcome = FileComparison::Differs;
        return result;
    }
    const OpenFilesComparison found =
        compareOpenFiles(fds[0], fds[1], before[0].st_size, [this] { return stopFlagged(); });
    // A source written to while it was read may differ from its copy only for that moment. The
    // second file is the copy, which nothing else writes while the program holds its lock. Bytes
    // that were found the same were the same when they were read.
    struct stat after;
    if (found.outcome == OpenFilesComparison::Differs && ::fstat(fds[0], &after) == 0 &&
        (after.st_size != before[0].st_size || after.st_mtim.tv_sec != before[0].st_mtim.tv_sec ||
         after.st_mtim.tv_nsec != before[0].st_mtim.tv_nsec)) {
        closeBoth();
        result.error = systemError(errors::kChangedWhileCopied,
                                   "The file changed while it was being compared");
        return result;
    }
    closeBoth();
    switch (found.outcome) {
    case OpenFilesComparison::Same:
        result.outcome = FileComparison::Same;
        break;
    case OpenFilesComparison::Differs:
        result.outcome = FileComparison::Differs;
        break;
    case OpenFilesComparison::Stopped:
        result.error = systemError(errors::kStopped, "Stopped by the user");
        break;
    case OpenFilesComparison::Failed:
        result.failedFile = found.failedFile;
        result.error = errorFor(found.err, mapped[found.failedFile]);
        break;
    }
    return result;
}

Result<void> LinuxPlatform::makeDirs(const std::string& path)
{
    SystemError error;
    Mapped mapped;
    if (!mapExact(path, mapped, error))
        return error;
    // Never create the root itself: a missing root is a medium that is not there.
    if (!isDirectory(mapped.root))
        return notReady();
    ConfinedFolder folder;
    const int err = folder.open(mapped.root, belowRoot(mapped.root, mapped.native), true);
    if (folder.madeFolders()) {
        for (std::string made = mapped.native; made.size() > mapped.root.size();
             made = parentOf(made))
            forgetFolder(parentOf(made));
    }
    if (err != 0)
        return errorForNewName(err, mapped);
    return {};
}

Result<void> LinuxPlatform::removeFile(const std::string& path)
{
    SystemError error;
    Mapped mapped;
    if (!mapExact(path, mapped, error))
        return error;
    ConfinedFolder folder;
    std::string name;
    int err = openFolderOf(mapped, folder, name);
    if (err == 0 && ::unlinkat(folder.fd(), name.c_str(), 0) != 0)
        err = errno;
    if (err != 0)
        return writeError(err, mapped);
    forgetFolder(parentOf(mapped.native));
    return {};
}

Result<void> LinuxPlatform::removeDir(const std::string& path)
{
    SystemError error;
    Mapped mapped;
    if (!mapExact(path, mapped, error))
        return error;
    ConfinedFolder folder;
    std::string name;
    int err = openFolderOf(mapped, folder, name);
    if (err == 0 && ::unlinkat(folder.fd(), name.c_str(), AT_REMOVEDIR) != 0)
        err = errno;
    if (err != 0)
        return writeError(err, mapped);
    forgetTree(mapped.native);
    forgetFolder(parentOf(mapped.native));
    return {};
}

Result<void> LinuxPlatform::renamePath(const std::string& from, const std::string& to)
{
    SystemError error;
    Mapped source, target;
    if (!mapExact(from, source, error) || !mapExact(to, target, error))
        return error;
    ConfinedFolder sourceFolder, targetFolder;
    std::string sourceName, targetName;
    if (const int err = openFolderOf(source, sourceFolder, sourceName))
        return writeError(err, source);
    if (const int err = openFolderOf(target, targetFolder, targetName))
        return writeError(err, target);
    struct stat st;
    if (::fstatat(sourceFolder.fd(), sourceName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errorFor(errno, source);
    // Never replace another entry; a rename of an entry onto itself changes nothing.
    struct stat other;
    if (::fstatat(targetFolder.fd(), targetName.c_str(), &other, AT_SYMLINK_NOFOLLOW) == 0 &&
        (other.st_dev != st.st_dev || other.st_ino != st.st_ino))
        return systemError(EEXIST, std::strerror(EEXIST));
    if (::renameat(sourceFolder.fd(), sourceName.c_str(), targetFolder.fd(), targetName.c_str()) !=
        0)
        return errorFor(errno, target);
    forgetTree(source.native);
    forgetFolder(parentOf(source.native));
    forgetFolder(parentOf(target.native));
    return {};
}

Result<void> LinuxPlatform::moveToTrash(const std::string& path)
{
    SystemError error;
    Mapped mapped;
    if (!mapExact(path, mapped, error))
        return error;
    ConfinedFolder folder;
    std::string name;
    if (const int err = openFolderOf(mapped, folder, name))
        return writeError(err, mapped);
    struct stat st;
    if (::fstatat(folder.fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errorFor(errno, mapped);
    // The trash is reached by the path: it must still lead to the folder found below the root.
    struct stat held, byPath;
    if (::fstat(folder.fd(), &held) != 0 || ::stat(parentOf(mapped.native).c_str(), &byPath) != 0 ||
        held.st_dev != byPath.st_dev || held.st_ino != byPath.st_ino)
        return writeError(ELOOP, mapped);
    errno = 0;
    if (!QFile::moveToTrash(QFile::decodeName(QByteArray::fromStdString(mapped.native)))) {
        const int err = errno != 0 ? errno : EACCES;
        return errorFor(err, mapped);
    }
    forgetTree(mapped.native);
    forgetFolder(parentOf(mapped.native));
    return {};
}

Result<void> LinuxPlatform::setModificationTime(const std::string& path, std::int64_t mtime,
                                                std::int32_t ticks)
{
    SystemError error;
    Mapped mapped;
    if (!mapExact(path, mapped, error))
        return error;
    ConfinedFolder folder;
    std::string name;
    if (const int err = openFolderOf(mapped, folder, name))
        return writeError(err, mapped);
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(mtime);
    times[1].tv_nsec = long(ticks) * 100;
    // A link in the file's place gets the time itself; what it points at is left alone.
    if (::utimensat(folder.fd(), name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return errorFor(errno, mapped);
    return {};
}

Result<void> LinuxPlatform::setReadOnly(const std::string& path, bool readOnly)
{
    SystemError error;
    Mapped mapped;
    if (!mapExact(path, mapped, error))
        return error;
    ConfinedFolder folder;
    std::string name;
    if (const int err = openFolderOf(mapped, folder, name))
        return writeError(err, mapped);
    struct stat st;
    if (::fstatat(folder.fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errorFor(errno, mapped);
    if (S_ISLNK(st.st_mode))
        return systemError(kAccessDenied, whatIsInTheWay(st.st_mode));
    const mode_t mode = st.st_mode & 07777;
    const mode_t wanted =
        readOnly ? mode_t(mode & ~mode_t(0222)) : mode_t(mode | S_IWUSR | (0222 & ~processUmask()));
    if (wanted == mode)
        return {};
    int err = ::fchmodat(folder.fd(), name.c_str(), wanted, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
    // Without the kernel's own call for it, the C library may not change a mode without
    // following a link; the entry was no link a moment ago.
    if (err == EOPNOTSUPP || err == ENOSYS)
        err = ::fchmodat(folder.fd(), name.c_str(), wanted, 0) == 0 ? 0 : errno;
    if (err != 0)
        return errorFor(err, mapped);
    return {};
}

Result<void> LinuxPlatform::writeFile(const std::string& path, const std::string& bytes)
{
    SystemError error;
    Mapped mapped;
    if (!mapExact(path, mapped, error))
        return error;
    ConfinedFolder folder;
    std::string name;
    if (const int err = openFolderOf(mapped, folder, name))
        return writeError(err, mapped);
    struct stat old;
    const bool replacing = ::fstatat(folder.fd(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (replacing && !S_ISREG(old.st_mode)) {
        const char* inTheWay = whatIsInTheWay(old.st_mode);
        return inTheWay != nullptr ? systemError(kAccessDenied, inTheWay) : accessDenied();
    }
    if (replacing && (old.st_mode & S_IWUSR) == 0)
        return accessDenied();
    std::string temp;
    const int out = openTempIn(folder.fd(), 0666, temp);
    if (out < 0)
        return errorFor(errno, mapped);
    int err = writeAll(out, bytes.data(), bytes.size()) ? 0 : errno;
    if (err == 0 && replacing)
        (void)::fchmod(out, old.st_mode & 07777);
    if (::close(out) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        ::unlinkat(folder.fd(), temp.c_str(), 0);
        return errorFor(err, mapped);
    }
    if (!putInPlace(folder.fd(), temp, name, mapped, error))
        return error;
    return {};
}

std::string LinuxPlatform::currentDirectory()
{
    std::lock_guard lock(m_currentMutex);
    return m_currentDir;
}

Result<void> LinuxPlatform::setCurrentDirectory(const std::string& path)
{
    SystemError error;
    char letter = 0;
    std::vector<std::string> parts;
    const std::string before = currentDirectory();
    if (!splitDrivePath(path, before, letter, parts))
        return noSuchPath();
    std::string root;
    if (!checkRoot(letter, root, error))
        return error;
    const std::string native = joinNative(root, parts, parts.size());
    if (!isDirectory(native))
        return noSuchPath();
    std::string current;
    if (isAbsoluteDrivePath(path)) {
        current = path;
        while (current.size() > 2 && (current.back() == '\\' || current.back() == '/'))
            current.pop_back();
    } else {
        current = before.substr(0, 2);
        for (const std::string& part : parts)
            current += "\\" + toDriveName(part);
    }
    if (current.size() == 2)
        current += "\\";
    std::lock_guard lock(m_currentMutex);
    m_currentDir = current;
    return {};
}

// --- The user's folders -----------------------------------------------------------------------

std::string LinuxPlatform::homeFolder()
{
    return drivePathOf(QFile::encodeName(QDir::homePath()).toStdString());
}

namespace {

std::string canonicalPath(const std::string& path)
{
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}

} // namespace

std::string LinuxPlatform::drivePathOf(const std::string& nativePath)
{
    const std::string path = canonicalPath(nativePath);
    if (path.empty())
        return std::string();
    char letter = 0;
    std::string rest;
    std::size_t longest = 0;
    for (const char candidate : drives().letters()) {
        std::string root = canonicalPath(drives().root(candidate));
        if (root.empty())
            continue;
        if (root.back() != '/')
            root += '/';
        const std::string inside = path + '/';
        // The drive whose root lies deepest holds the path: a mount of its own beats "/".
        if (inside.starts_with(root) && (letter == 0 || root.size() > longest)) {
            letter = candidate;
            longest = root.size();
            rest = inside.substr(root.size());
        }
    }
    if (letter == 0)
        return std::string();
    std::string drivePath = std::string(1, letter) + ":";
    std::size_t pos = 0;
    for (std::size_t slash = rest.find('/'); slash != std::string::npos;
         pos = slash + 1, slash = rest.find('/', pos))
        drivePath += "\\" + toDriveName(std::string_view(rest).substr(pos, slash - pos));
    return drivePath.size() == 2 ? drivePath + "\\" : drivePath;
}

Result<char> LinuxPlatform::driveForFolder(const std::string& nativeFolder)
{
    const std::string folder = canonicalPath(nativeFolder);
    struct stat st;
    if (folder.empty() || ::stat(folder.c_str(), &st) != 0)
        return errno == EACCES ? accessDenied() : noSuchPath();
    if (!S_ISDIR(st.st_mode))
        return systemError(ENOTDIR, std::strerror(ENOTDIR));
    // The root of a drive of the table, a mounted volume's included, is that drive.
    const std::vector<char> letters = drives().letters();
    for (const char letter : letters) {
        if (canonicalPath(drives().root(letter)) == folder)
            return letter;
    }

    // A folder that can never hold a backup gets no letter: the table would offer it for ever.
    const std::string unfit = unfitFolder(folder);
    if (!unfit.empty())
        return systemError(errors::kUnfitForBackup, unfit);

    // Any other folder becomes a drive of its own, so that the mirror folders go inside it
    // rather than beside it. Letters that the table only remembers are not free either.
    constexpr const char* kSection = "Drives";
    IniSettingsStore settings(IniSettingsStore::userFile());
    std::unordered_set<char> taken(letters.begin(), letters.end());
    for (const std::string& ident : settings.idents(kSection)) {
        if (!ident.empty())
            taken.insert(lowerAscii(ident[0]));
    }
    char letter = 'd';
    while (letter <= 'z' && taken.count(letter) != 0)
        ++letter;
    if (letter > 'z')
        return systemError(kNoDrive, "No drive letter is free");
    const std::vector<MountEntry> mounts = parseMountInfo(readMountTable());
    const MountEntry* volume = mountHolding(mounts, folder);
    const std::string ident(1, letter);
    settings.writeString(kSection, ident, folder);
    settings.writeString(kSection, ident + ".type",
                         volume != nullptr ? driveTypeOfMount(*volume) : "DRIVE_FIXED");
    if (!settings.sync())
        return systemError(kAccessDenied, "The settings file cannot be written");
    reloadDrives();
    return letter;
}

// --- The program's data folder ----------------------------------------------------------------

std::string LinuxPlatform::dataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/Kopierix");
    QDir().mkpath(folder);
    return QFile::encodeName(folder).toStdString() + "/";
}

namespace {

// A file of the data folder that the program may write or pass on as one of its logs: a regular
// file of this user with no other name. A link, a device or a pipe put in a log's place, or a
// second name of another file, would send the lines somewhere else.
bool ownDataFile(const struct stat& st)
{
    return S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == ::geteuid();
}

SystemError notOwnDataFile()
{
    return systemError(kAccessDenied, "Not a regular file");
}

} // namespace

Result<void> LinuxPlatform::appendDataFile(const std::string& name, const std::string& bytes)
{
    const std::string path = dataFolder() + name;
    // Looked at before it is opened: opening a device can do something by itself.
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && !ownDataFile(st))
        return S_ISDIR(st.st_mode) ? systemError(EISDIR, std::strerror(EISDIR)) : notOwnDataFile();
    // Not blocking: a FIFO put in the log's place meanwhile must not hold the run up.
    const int fd = ::open(
        path.c_str(),
        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int err = errno;
        return err == ELOOP ? notOwnDataFile() : systemError(err, std::strerror(err));
    }
    if (::fstat(fd, &st) != 0 || !ownDataFile(st)) {
        ::close(fd);
        return notOwnDataFile();
    }
    int err = 0;
    if (!writeAll(fd, bytes.data(), bytes.size()))
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0)
        return {};
    return systemError(err, std::strerror(err));
}

bool LinuxPlatform::renameDataFile(const std::string& from, const std::string& to)
{
    const std::string folder = dataFolder();
    // Only a log of the program's own moves on: a link or a device in its place stays where it
    // is, and the next line refuses it there.
    struct stat st;
    if (::lstat((folder + from).c_str(), &st) != 0 || !ownDataFile(st))
        return false;
    return ::rename((folder + from).c_str(), (folder + to).c_str()) == 0;
}

bool LinuxPlatform::removeDataFile(const std::string& name)
{
    // Removes the name alone, whatever it is: never what a link points at.
    return ::unlink((dataFolder() + name).c_str()) == 0;
}

// --- Settings ---------------------------------------------------------------------------------

std::unique_ptr<SettingsStore> LinuxPlatform::openSettings()
{
    return std::make_unique<IniSettingsStore>(IniSettingsStore::userFile());
}

// --- Time and system facts --------------------------------------------------------------------

std::int64_t LinuxPlatform::now()
{
    return std::int64_t(::time(nullptr));
}

LocalTime LinuxPlatform::toLocal(std::int64_t utcSeconds)
{
    const time_t t = time_t(utcSeconds);
    struct tm parts;
    LocalTime local;
    if (::localtime_r(&t, &parts) == nullptr)
        return local;
    local.year = parts.tm_year + 1900;
    local.month = parts.tm_mon + 1;
    local.day = parts.tm_mday;
    local.hour = parts.tm_hour;
    local.minute = parts.tm_min;
    local.second = parts.tm_sec;
    return local;
}

std::int64_t LinuxPlatform::fromLocal(const LocalTime& local)
{
    struct tm parts
    {
    };
    parts.tm_year = local.year - 1900;
    parts.tm_mon = local.month - 1;
    parts.tm_mday = local.day;
    parts.tm_hour = local.hour;
    parts.tm_min = local.minute;
    parts.tm_sec = local.second;
    parts.tm_isdst = -1;
    return std::int64_t(::mktime(&parts));
}

TimeZoneRecords LinuxPlatform::timeZone(int year)
{
    if (year <= 0)
        year = toLocal(now()).year;
    const QTimeZone zone = QTimeZone::systemTimeZone();
    TimeZoneRecords records;
    const QDateTime yearStart(QDate(year, 1, 1), QTime(0, 0), QTimeZone::utc());
    const QDateTime yearEnd(QDate(year + 1, 1, 1), QTime(0, 0), QTimeZone::utc());
    int standardOffset =
        zone.standardTimeOffset(QDateTime(QDate(year, 1, 1), QTime(12, 0), QTimeZone::utc()));

    // Daylight saving is the part of the year with the larger offset; that also reads zones
    // whose records call the winter time the exception (Europe/Dublin) the usual way.
    QDateTime start, end;
    int daylightOffset = 0;
    if (zone.hasTransitions()) {
        int previous = zone.offsetFromUtc(yearStart.addSecs(-1));
        for (const QTimeZone::OffsetData& change :
             zone.transitions(yearStart, yearEnd.addSecs(-1))) {
            const bool daylightInvolved = change.daylightTimeOffset != 0 ||
                                          zone.daylightTimeOffset(change.atUtc.addSecs(-1)) != 0;
            if (daylightInvolved && change.offsetFromUtc > previous && !start.isValid()) {
                start = change.atUtc;
                standardOffset = previous;
                daylightOffset = change.offsetFromUtc - previous;
            } else if (daylightInvolved && change.offsetFromUtc < previous && !end.isValid()) {
                end = change.atUtc;
                if (!start.isValid()) {
                    standardOffset = change.offsetFromUtc;
                    daylightOffset = previous - change.offsetFromUtc;
                }
            }
            previous = change.offsetFromUtc;
        }
    }
    records.bias = -(standardOffset / 60);
    if (start.isValid() && end.isValid() && daylightOffset > 0) {
        records.daylightBias = -(daylightOffset / 60);
        records.daylightDate = transitionRecord(start.toUTC().addSecs(standardOffset));
        records.standardDate =
            transitionRecord(end.toUTC().addSecs(standardOffset + daylightOffset));
    }
    return records;
}

std::string LinuxPlatform::localeName()
{
    return QLocale::system().name().toStdString();
}

char LinuxPlatform::decimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    if (point.isEmpty() || point.at(0).unicode() > 0xFF)
        return '.';
    return char(point.at(0).unicode());
}

std::string LinuxPlatform::formatDateTime(double dateTime)
{
    return datetext::dateTimeText(dateTime, QLocale::system(), datetext::Year::AsTheLocaleWrites)
        .toStdString();
}

std::string LinuxPlatform::formatWindowDateTime(double dateTime)
{
    return datetext::dateTimeText(dateTime, QLocale::system(), datetext::Year::FourDigits)
        .toStdString();
}

std::string LinuxPlatform::computerName()
{
    return QSysInfo::machineHostName().toStdString();
}

} // namespace kx
