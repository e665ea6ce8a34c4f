#pragma once

#include "engine/ActivityLog.h"
#include "engine/ProgramState.h"
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

    /** The Dutch or the English text, after the user's language. */
    const char* nlEn(const char* dutch, const char* english) const
    {
        return facts.languageCode == "nld" ? dutch : english;
    }
    bool dutch() const { return facts.languageCode == "nld"; }
};

} // namespace kx
