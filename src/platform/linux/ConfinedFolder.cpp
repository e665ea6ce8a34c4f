// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/ConfinedFolder.h"

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kx {

namespace {

// Set once the kernel has answered that it cannot resolve a path beneath a folder (older than
// 5.6, or a sandbox that refuses the call): from then on every path goes name by name.
std::atomic<bool> g_kernelCannotResolve{false};

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

} // namespace

ConfinedFolder::ConfinedFolder(Resolution resolution) : m_resolution(resolution) {}

ConfinedFolder::~ConfinedFolder()
{
    close();
}

void ConfinedFolder::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int ConfinedFolder::open(const std::string& root, const std::string& below, bool create)
{
    close();
    m_made = false;
    const int rootFd = ::open(root.c_str(), kFolderFlags);
    if (rootFd < 0)
        return errno;
    if (below.empty()) {
        m_fd = rootFd;
        return 0;
    }
    if (m_resolution == Resolution::Kernel &&
        !g_kernelCannotResolve.load(std::memory_order_relaxed)) {
        open_how how{};
        how.flags = kFolderFlags;
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
        // A rename elsewhere on the file system may make the kernel ask for another try.
        for (int attempt = 0; attempt < 16; ++attempt) {
            const long fd = ::syscall(SYS_openat2, rootFd, below.c_str(), &how, sizeof how);
            if (fd >= 0) {
                ::close(rootFd);
                m_fd = int(fd);
                return 0;
            }
            const int err = errno;
            if (err == EAGAIN || err == EINTR)
                continue;
            if (err == ENOSYS || err == EINVAL || err == EPERM || err == EOPNOTSUPP) {
                g_kernelCannotResolve.store(true, std::memory_order_relaxed);
                break;
            }
            if (err == ENOENT && create)
                break;
            ::close(rootFd);
            // A way out of the root is a link the kernel did not follow.
            return err == EXDEV ? ELOOP : err;
        }
    }
    return walk(rootFd, below, create);
}

// Opens one name after the other below `fd`, which it takes over.
int ConfinedFolder::walk(int fd, const std::string& below, bool create)
{
    std::size_t pos = 0;
    while (pos < below.size()) {
        std::size_t end = below.find('/', pos);
        if (end == std::string::npos)
            end = below.size();
        const std::string name = below.substr(pos, end - pos);
        pos = end + 1;
        if (name.empty())
            continue;
        if (name == "." || name == "..") {
            ::close(fd);
            return EINVAL;
        }
        int next = ::openat(fd, name.c_str(), kFolderFlags | O_NOFOLLOW);
        if (next < 0 && errno == ENOENT && create) {
            if (::mkdirat(fd, name.c_str(), 0777) == 0)
                m_made = true;
            else if (errno != EEXIST) {
                const int err = errno;
                ::close(fd);
                return err;
            }
            next = ::openat(fd, name.c_str(), kFolderFlags | O_NOFOLLOW);
        }
        if (next < 0) {
            int err = errno;
            // Opened for its path alone, a link reads as "not a folder": say what it is.
            struct stat st;
            if (err == ENOTDIR && ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(st.st_mode))
                err = ELOOP;
            ::close(fd);
            return err;
        }
        ::close(fd);
        fd = next;
    }
    m_fd = fd;
    return 0;
}

} // namespace kx
