// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OperationLock.h"

#include "platform/linux/IniSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kx {

namespace {

std::string lockPath(OperationLock::Kind kind)
{
    const QString folder = QFileInfo(IniSettingsStore::userFile()).path();
    QDir().mkpath(folder);
    const QString name = kind == OperationLock::Kind::Operation
                             ? QStringLiteral("/Kopierix.lock")
                             : QStringLiteral("/Kopierix.window.lock");
    return QFile::encodeName(folder + name).toStdString();
}

int flockRetrying(int fd, int operation)
{
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

bool OperationLock::open()
{
    if (m_fd >= 0)
        return true;
    const std::string path = lockPath(m_kind);
    // Only a regular file of our own is locked: never through a link, never a FIFO or a device
    // that was put in its place (opening a device can already do something). A lock on anything
    // else would be a lock no other run sees.
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        m_failure = path + ": not a regular file";
        return false;
    }
    m_fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                  0600);
    if (m_fd < 0) {
        const int err = errno;
        m_failure = path + ": " + std::strerror(err);
        return false;
    }
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        unlock();
        m_failure = path + ": not a regular file";
        return false;
    }
    return true;
}

bool OperationLock::lockFile(bool exclusive)
{
    if (flockRetrying(m_fd, exclusive ? LOCK_EX | LOCK_NB : LOCK_SH) == 0)
        return true;
    if (const int err = errno; err != EWOULDBLOCK)
        m_failure = lockPath(m_kind) + ": " + std::strerror(err);
    return false;
}

void OperationLock::closeFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace kx
