// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WindowsPlatform.h"

namespace kx {

namespace {

SystemError notYet()
{
    return SystemError{50, "Not supported yet"};
}

} // namespace

Result<FileInfo> WindowsPlatform::fileStatus(const std::string& /*path*/)
{
    return notYet();
}

std::string WindowsPlatform::findPath(const std::string& /*drivePath*/)
{
    return {};
}

Result<std::unique_ptr<DirListing>> WindowsPlatform::openDir(const std::string& /*path*/)
{
    return notYet();
}

Result<void> WindowsPlatform::copyFile(const std::string& /*source*/, const std::string& /*dest*/)
{
    return notYet();
}

FileComparison WindowsPlatform::compareFiles(const std::string& /*first*/,
                                             const std::string& /*second*/)
{
    return {};
}

Result<StagedCopy> WindowsPlatform::stageCopy(const std::string& /*source*/,
                                              const std::string& /*dest*/)
{
    return notYet();
}

Result<void> WindowsPlatform::flushStaged(const std::vector<StagedCopy>& /*staged*/)
{
    return notYet();
}

Result<void> WindowsPlatform::commitStaged(const StagedCopy& /*staged*/)
{
    return notYet();
}

void WindowsPlatform::discardStaged(const StagedCopy& /*staged*/) {}

Result<void> WindowsPlatform::makeDirs(const std::string& /*path*/)
{
    return notYet();
}

Result<void> WindowsPlatform::removeFile(const std::string& /*path*/)
{
    return notYet();
}

Result<void> WindowsPlatform::removeDir(const std::string& /*path*/)
{
    return notYet();
}

Result<void> WindowsPlatform::renamePath(const std::string& /*from*/, const std::string& /*to*/)
{
    return notYet();
}

Result<void> WindowsPlatform::moveToTrash(const std::string& /*path*/)
{
    return notYet();
}

Result<void> WindowsPlatform::setModificationTime(const std::string& /*path*/,
                                                  std::int64_t /*mtime*/, std::int32_t /*ticks*/)
{
    return notYet();
}

Result<void> WindowsPlatform::setReadOnly(const std::string& /*path*/, bool /*readOnly*/)
{
    return notYet();
}

Result<void> WindowsPlatform::writeFile(const std::string& /*path*/, const std::string& /*bytes*/)
{
    return notYet();
}

std::string WindowsPlatform::currentDirectory()
{
    return {};
}

Result<void> WindowsPlatform::setCurrentDirectory(const std::string& /*path*/)
{
    return notYet();
}

} // namespace kx
