// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Files.h"

namespace kx {

namespace {

/** A folder that is held by its path alone: each query is a status query of the whole path. */
class PathFolder : public FolderHandle
{
public:
    PathFolder(Files& files, std::string path) : m_files(files), m_prefix(std::move(path))
    {
        if (m_prefix.empty() || m_prefix.back() != '\\')
            m_prefix.push_back('\\');
    }

    bool status(const std::string& name, FileInfo& info) const override
    {
        return m_files.fileInfo(m_prefix + name, info);
    }

private:
    Files& m_files;
    std::string m_prefix;
};

} // namespace

std::unique_ptr<FolderHandle> Files::openFolder(const std::string& path)
{
    return std::make_unique<PathFolder>(*this, path);
}

} // namespace kx
