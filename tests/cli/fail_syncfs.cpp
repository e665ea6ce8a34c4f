// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into the program by a test: the first KX_SYNCFS_PASSES calls of syncfs (none when it
// is not set) write the file system out, every later one fails with EIO, as on a medium that
// the kernel has just forced read-only.
#include <cerrno>
#include <cstdlib>

#include <sys/syscall.h>
#include <unistd.h>

extern "C" int syncfs(int fd)
{
    static int passes = [] {
        const char* value = std::getenv("KX_SYNCFS_PASSES");
        return value ? std::atoi(value) : 0;
    }();
    if (passes-- > 0)
        return static_cast<int>(::syscall(SYS_syncfs, fd));
    errno = EIO;
    return -1;
}
