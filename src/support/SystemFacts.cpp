#include "support/SystemFacts.h"

#include "support/TextHelpers.h"

namespace kx {

std::string LanguageCodeForLocale(const std::string& localeName)
{
    // Dutch in every country, and Afrikaans, which Dutch readers follow best.
    const std::string lower = LowerCase(localeName);
    if (lower.rfind("nl", 0) == 0 || lower.rfind("af", 0) == 0)
        return "nld";
    return std::string();
}

SystemFacts GatherSystemFacts(Platform& platform)
{
    SystemFacts facts;
    facts.LanguageCode = LanguageCodeForLocale(platform.localeName());
    facts.Dst = ReadDaylightSavingWindow(platform);
    return facts;
}

std::string ComputerName(Platform& platform)
{
    return platform.computerName();
}

std::string UserDataFolder(Platform& platform)
{
    std::string folder = platform.dataFolder();
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
