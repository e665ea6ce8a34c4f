// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CopyBatch.h"

namespace kx {

CopyBatch::CopyBatch(Files& files) : m_files(files) {}

CopyBatch::~CopyBatch()
{
    abandon();
}

bool CopyBatch::add(const std::string& source, const std::string& dest, Settle settle,
                    SystemError& error)
{
    Result<StagedCopy> copy = m_files.stageCopy(source, dest);
    if (!copy) {
        error = copy.error();
        return false;
    }
    StagedCopy& staged = copy.value();
    if (m_staged.empty())
        m_first = std::chrono::steady_clock::now();
    m_bytes += staged.size;
    m_staged.push_back(std::move(staged));
    m_settle.push_back(std::move(settle));
    if (m_staged.size() >= kMaxFiles || m_bytes >= kMaxBytes ||
        std::chrono::steady_clock::now() - m_first >= kMaxAge)
        commit();
    return true;
}

void CopyBatch::commit()
{
    if (m_staged.empty())
        return;
    std::vector<StagedCopy> staged;
    std::vector<Settle> settle;
    staged.swap(m_staged);
    settle.swap(m_settle);
    m_bytes = 0;

    // Nothing is renamed before its contents are on the medium: an old copy is never replaced
    // by one that a power cut could still empty.
    if (const Result<void> flushed = m_files.flushStaged(staged); !flushed) {
        m_flushFailed = true;
        SystemError error = flushed.error();
        for (std::size_t i = 0; i < staged.size(); ++i) {
            m_files.discardStaged(staged[i]);
            settle[i](staged[i], &error);
        }
        return;
    }
    for (std::size_t i = 0; i < staged.size(); ++i) {
        SystemError renameError;
        const Result<void> renamed = m_files.commitStaged(staged[i]);
        if (!renamed)
            renameError = renamed.error();
        settle[i](staged[i], renamed ? nullptr : &renameError);
    }
}

void CopyBatch::abandon()
{
    for (const StagedCopy& copy : m_staged)
        m_files.discardStaged(copy);
    m_staged.clear();
    m_settle.clear();
    m_bytes = 0;
}

} // namespace kx
