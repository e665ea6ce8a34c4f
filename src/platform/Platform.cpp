// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Platform.h"

namespace kx {

namespace {

/** A folder that is held by its path alone: each query is a status query of the whole path. */
class PathFolder : public FolderHandle
{
public:
    PathFolder(Platform& platform, std::string path)
        : m_platform(platform), m_prefix(std::move(path))
    {
        if (m_prefix.empty() || m_prefix.back() != '\\')
            m_prefix.push_back('\\');
    }

    bool status(const std::string& name, FileInfo& info) const override
    {
        SystemError ignored;
        return m_platform.fileStatus(m_prefix + name, info, ignored);
    }

private:
    Platform& m_platform;
    std::string m_prefix;
};

} // namespace

std::unique_ptr<FolderHandle> Platform::openFolder(const std::string& path)
{
    return std::make_unique<PathFolder>(*this, path);
}

} // namespace kx
