#include "support/CopyBatch.h"

namespace kx {

CopyBatch::CopyBatch(Platform& platform) : m_platform(platform) {}

CopyBatch::~CopyBatch()
{
    abandon();
}

bool CopyBatch::add(const std::string& source, const std::string& dest, Settle settle,
                    SystemError& error)
{
    Pending pending{{}, std::move(settle)};
    if (!m_platform.stageCopy(source, dest, pending.copy, error))
        return false;
    if (m_pending.empty())
        m_first = std::chrono::steady_clock::now();
    m_bytes += pending.copy.size;
    m_pending.push_back(std::move(pending));
    if (m_pending.size() >= kMaxFiles || m_bytes >= kMaxBytes ||
        std::chrono::steady_clock::now() - m_first >= kMaxAge)
        commit();
    return true;
}

void CopyBatch::commit()
{
    if (m_pending.empty())
        return;
    std::vector<Pending> pending;
    pending.swap(m_pending);
    m_bytes = 0;

    std::vector<StagedCopy> copies;
    copies.reserve(pending.size());
    for (const Pending& p : pending)
        copies.push_back(p.copy);
    SystemError error;
    // Nothing is renamed before its contents are on the medium: an old copy is never replaced
    // by one that a power cut could still empty.
    if (!m_platform.flushStaged(copies, error)) {
        for (Pending& p : pending) {
            m_platform.discardStaged(p.copy);
            p.settle(p.copy, &error);
        }
        return;
    }
    for (Pending& p : pending) {
        SystemError renameError;
        if (m_platform.commitStaged(p.copy, renameError))
            p.settle(p.copy, nullptr);
        else
            p.settle(p.copy, &renameError);
    }
}

void CopyBatch::abandon()
{
    for (const Pending& p : m_pending)
        m_platform.discardStaged(p.copy);
    m_pending.clear();
    m_bytes = 0;
}

} // namespace kx
