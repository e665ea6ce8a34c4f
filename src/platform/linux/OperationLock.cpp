// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OperationLock.h"

#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/OperationRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

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

int lockFile(int fd, int operation)
{
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

OperationLock::OperationLock(Kind kind) : m_kind(kind) {}

OperationLock::~OperationLock()
{
    unlock();
}

bool OperationLock::open()
{
    if (m_fd >= 0)
        return true;
    const std::string path = lockPath(m_kind);
    // Only a regular file of our own is locked: never through a link, never a FIFO or a device
    // that was put in its place.
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return false;
    m_fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                  0600);
    if (m_fd >= 0 && (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)))
        unlock();
    return m_fd >= 0;
}

bool OperationLock::tryLock()
{
    if (!open())
        return true;
    if (lockFile(m_fd, LOCK_EX | LOCK_NB) == 0) {
        if (m_kind == Kind::Operation)
            operationRun::begin(this);
        return true;
    }
    if (errno != EWOULDBLOCK)
        return true;
    unlock();
    return false;
}

void OperationLock::lockShared()
{
    if (open())
        lockFile(m_fd, LOCK_SH);
}

void OperationLock::unlock()
{
    operationRun::end(this);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace kx
