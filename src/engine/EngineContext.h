// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ActivityLog.h"
#include "engine/BackupTarget.h"
#include "engine/MediaRecords.h"
#include "engine/StopRequest.h"
#include "engine/UserInterface.h"
#include "platform/Platform.h"
#include "support/Language.h"
#include "support/SystemFacts.h"

namespace kx {

/** The collaborators every operation works with, passed in by the application. */
struct EngineContext
{
    Platform& platform;
    /** Where the backups go. */
    BackupTarget& target;
    /** The media's records and the current medium's. */
    MediaRecords& media;
    UserInterface& ui;
    ActivityLog& log;
    const SystemFacts& facts;
    /** The user's stop, read at file boundaries; none when the operation cannot be stopped. */
    const StopRequest* stop = nullptr;

    bool stopRequested() const { return stop && stop->requested(); }

    /** The user's language, the column of every text catalogue. */
    Language language() const { return languageOf(facts.languageCode); }
};

/** While it lives, the platform's copies read the operation's stop between their chunks, so
 *  that a large file need not be copied to its end once the user asked to stop. */
class CopyStopScope
{
public:
    explicit CopyStopScope(EngineContext& ctx) : m_files(ctx.platform)
    {
        m_files.watchStop(ctx.stop ? &ctx.stop->flag() : nullptr);
    }
    ~CopyStopScope() { m_files.watchStop(nullptr); }
    CopyStopScope(const CopyStopScope&) = delete;
    CopyStopScope& operator=(const CopyStopScope&) = delete;

private:
    Files& m_files;
};

} // namespace kx
