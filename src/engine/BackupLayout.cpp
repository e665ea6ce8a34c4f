// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BackupLayout.h"

#include "support/TextHelpers.h"

namespace kx::layout {

std::string mirrorFolder(const std::string& backupBase, const std::string& sourceFolder)
{
    if (sourceFolder.size() <= 3)
        return backupBase + sourceFolder.substr(0, 1) + "-\\";
    return backupBase + sourceFolder.substr(0, 1) + "-" + sourceFolder.substr(3);
}

std::string backupPathOf(const std::string& backupBase, const std::string& sourcePath)
{
    const std::size_t slash = sourcePath.rfind('\\');
    if (slash == std::string::npos)
        return {};
    return mirrorFolder(backupBase, sourcePath.substr(0, slash + 1)) + sourcePath.substr(slash + 1);
}

std::optional<std::string> sourceFolderOf(const std::string& folder, std::size_t r)
{
    // Positions below count from 0: the rules' character R + 5 is index R + 4.
    if (folder.size() < r + 5 || folder[r + 4] != '-')
        return std::nullopt;
    const std::string root = std::string(1, folder[r + 3]) + ":\\";
    if (folder.size() == r + 5)
        return root;
    return root + folder.substr(r + 5);
}

std::optional<std::string> sourcePathOf(const std::string& folder, const std::string& name,
                                        std::size_t r)
{
    auto source = sourceFolderOf(folder, r);
    if (source && source->back() != '\\')
        source->push_back('\\');
    if (source)
        source->append(name);
    return source;
}

std::string driveKeyOf(char letter, const std::string& driveListText)
{
    // The label runs to the last "]": a label may hold one itself.
    const std::string inside = textAfter('[', driveListText);
    const std::size_t close = inside.rfind(']');
    std::string label = close == std::string::npos ? std::string() : inside.substr(0, close);
    if (!label.empty() && label[0] >= 'a' && label[0] <= 'z')
        label[0] = static_cast<char>(label[0] - 'a' + 'A');
    return std::string(1, letter) + "-" + label;
}

} // namespace kx::layout
