// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"
#include "support/DaylightSaving.h"

#include <string>

namespace kx {

/** The facts about the machine gathered once at start, read by everybody afterwards. */
struct SystemFacts
{
    std::string languageCode; // "nld" for Dutch and Afrikaans users, empty otherwise
    DaylightWindow dst;
    /** The folder the program was started in, ending in "\": a run returns to it, and a
     *  medium's Autorun.inf starts the program from it. Empty where it is not known. */
    std::string startDir;
    /** The engine's texts go to windows, which show dates with the year in four digits (see
     *  Clock::formatWindowDateTime); the command line keeps the plain form, as the log does. */
    bool windowDates = true;
};

/** "nld" for a Dutch or Afrikaans locale name ("nl_NL", "nl_BE", "af_ZA"), else empty. */
std::string languageCodeForLocale(const std::string& localeName);
/** Language first, then the daylight-saving window and the folder the program started in. */
SystemFacts gatherSystemFacts(Platform& platform);
/** The computer's name; empty when it cannot be read. */
std::string computerName(Locale& locale);
/** The program's per-user data folder (created when missing), ending in the separator. */
std::string userDataFolder(DataStore& store);

} // namespace kx
