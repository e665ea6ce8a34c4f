// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SystemFacts.h"

#include "support/TextHelpers.h"

namespace kx {

std::string languageCodeForLocale(const std::string& localeName)
{
    // Dutch in every country, and Afrikaans, which Dutch readers follow best.
    const std::string lower = lowerCase(localeName);
    if (lower.rfind("nl", 0) == 0 || lower.rfind("af", 0) == 0)
        return "nld";
    return std::string();
}

SystemFacts gatherSystemFacts(Platform& platform)
{
    SystemFacts facts;
    facts.languageCode = languageCodeForLocale(platform.localeName());
    facts.dst = readDaylightSavingWindow(platform);
    facts.startDir = platform.currentDirectory();
    if (facts.startDir.empty() || facts.startDir.back() != '\\')
        facts.startDir += '\\';
    return facts;
}

std::string computerName(Locale& locale)
{
    return locale.computerName();
}

std::string userDataFolder(DataStore& store)
{
    std::string folder = store.dataFolder();
    if (folder.empty())
        return folder;
    const char last = folder.back();
    if (last != '/' && last != '\\') {
        // Continue in the separator the folder is written in.
        const bool backslashes =
            folder.find('\\') != std::string::npos && folder.find('/') == std::string::npos;
        folder += backslashes ? '\\' : '/';
    }
    return folder;
}

} // namespace kx
