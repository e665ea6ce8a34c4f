#include "platform/AppendCheck.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace kx {

std::string appendFailureReason(const std::string& nativePath)
{
    // Non-blocking: a FIFO in the log's place must not hold the run up a second time.
    const int fd = ::open(nativePath.c_str(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return std::strerror(errno);
    int cause = EIO;
    struct statvfs volume;
    struct stat st;
    struct rlimit limit;
    const bool root = ::geteuid() == 0;
    if (::fstatvfs(fd, &volume) == 0 && (root ? volume.f_bfree : volume.f_bavail) == 0)
        cause = ENOSPC;
    else if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
             ::fstat(fd, &st) == 0 && rlim_t(st.st_size) >= limit.rlim_cur)
        cause = EFBIG;
    ::close(fd);
    return std::strerror(cause);
}

} // namespace kx
