#pragma once

#include "engine/ActivityLog.h"
#include "engine/ProgramState.h"
#include "engine/StopRequest.h"
#include "engine/UserInterface.h"
#include "platform/Platform.h"
#include "support/SystemFacts.h"

namespace kx {

/** The collaborators every operation works with, passed in by the application. */
struct EngineContext
{
    Platform& platform;
    ProgramState& state;
    UserInterface& ui;
    ActivityLog& log;
    const SystemFacts& facts;
    /** The user's stop, read at file boundaries; none when the operation cannot be stopped. */
    const StopRequest* stop = nullptr;

    bool stopRequested() const { return stop && stop->requested(); }

    /** The Dutch or the English text, after the user's language. */
    const char* nlEn(const char* dutch, const char* english) const
    {
        return facts.languageCode == "nld" ? dutch : english;
    }
    bool dutch() const { return facts.languageCode == "nld"; }
};

} // namespace kx
