// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Files.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kx {

/**
 * Copies that replace files, made durable in groups. Each copy is written to a temporary file
 * beside its destination; a group of them is written to its media with one flush, and only then
 * renamed over the old files. A power cut or a pulled medium therefore leaves each file either
 * as it was or as its complete copy, never empty, while a run pays one flush per group instead
 * of one per file. A group is bounded in files, bytes and time.
 *
 * What was not settled when the batch ends is abandoned: the temporary files are removed and the
 * old files stay.
 */
class CopyBatch
{
public:
    /** Called once for each copy added: with its staged copy and no failure once it is in place,
     *  or with the reason it could not be put there. */
    using Settle = std::function<void(const StagedCopy& copy, const SystemError* failure)>;

    explicit CopyBatch(Files& files);
    ~CopyBatch();
    CopyBatch(const CopyBatch&) = delete;
    CopyBatch& operator=(const CopyBatch&) = delete;

    /** Stages a copy of `source` over `dest`. False with the reason when it could not even be
     *  written (then `settle` is never called); the group is committed when it is full. */
    bool add(const std::string& source, const std::string& dest, Settle settle, SystemError& error);
    /** Flushes and renames every staged copy, settling each in the order they were added. */
    void commit();
    /** Removes every staged copy without putting it in place. */
    void abandon();
    /** Whether a group's flush failed: its copies were then settled as failures. */
    bool flushFailed() const { return m_flushFailed; }

    static constexpr std::size_t kMaxFiles = 512;
    static constexpr std::int64_t kMaxBytes = std::int64_t(256) << 20;
    static constexpr std::chrono::seconds kMaxAge{2};

private:
    Files& m_files;
    // The staged copies and how each is settled, side by side: the copies go to the flush as
    // they are.
    std::vector<StagedCopy> m_staged;
    std::vector<Settle> m_settle;
    std::int64_t m_bytes = 0;
    bool m_flushFailed = false;
    std::chrono::steady_clock::time_point m_first;
};

} // namespace kx
