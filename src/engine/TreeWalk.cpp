#include "engine/TreeWalk.h"

namespace kx {

namespace {
constexpr auto kPumpInterval = std::chrono::milliseconds(50);
}

TreeWalk::TreeWalk(EngineContext& ctx) : m_ctx(ctx), m_lastPump(std::chrono::steady_clock::now())
{
}

std::string TreeWalk::join(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

void TreeWalk::breathe()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastPump >= kPumpInterval) {
        m_ctx.ui.pump();
        m_lastPump = std::chrono::steady_clock::now();
    }
}

bool TreeWalk::run(const std::string& root, SystemError& error)
{
    std::string folder = root;
    // The folder as the system reports it: without trailing backslash, except for a root.
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    m_lastDir = folder;
    auto listing = m_ctx.platform.openDir(folder, error);
    if (!listing)
        return false;
    walk(folder, *listing);
    return true;
}

void TreeWalk::walk(const std::string& folder, DirListing& listing)
{
    FileInfo entry;
    while (listing.next(entry)) {
        breathe();
        if (!entry.isDir) {
            if (m_onFile)
                m_onFile(folder, entry);
            continue;
        }
        // Don't follow links: a link on a medium can point back at its own folder. A mount
        // point belongs to another drive, and a walk stays on its own.
        if (entry.isHidden || entry.isLink || entry.otherDevice) {
            if (m_onSkipped && !entry.otherDevice)
                m_onSkipped(folder, entry);
            continue;
        }
        const std::string sub = join(folder, entry.name);
        SystemError error;
        auto subListing = m_ctx.platform.openDir(sub, error);
        if (!subListing) {
            ++m_unreadable;
            const std::string line = m_ctx.nlEn("Map ", "Folder ") + sub +
                                     m_ctx.nlEn(" kan niet worden gelezen: ",
                                                " cannot be read: ") +
                                     error.message;
            m_ctx.ui.memo(line);
            m_ctx.log.WriteLog(line);
            continue;
        }
        m_lastDir = sub;
        walk(sub, *subListing);
        subListing.reset();
        if (m_onFolderDone)
            m_onFolderDone(sub, folder);
    }
}

} // namespace kx
