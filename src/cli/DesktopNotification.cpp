// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/DesktopNotification.h"

#include "app/Version.h"
#include "cli/CommandLineTexts.h"
#include "support/TextHelpers.h"

namespace kx {

std::string DesktopNotification::bodyOf(const RunResult& result, Language language)
{
    // "0 files copied, 0 failed" would read as a run with nothing to do.
    if (result.noRoom && result.declined)
        return inLanguage(language, cliText::notificationNoRoom);
    return fillIn(inLanguage(language, result.copiedCount == 1 ? cliText::notificationBodyOneFile
                                                               : cliText::notificationBody),
                  {std::to_string(result.copiedCount), std::to_string(result.failedCount),
                   std::to_string(result.withoutSourceCount)});
}

bool DesktopNotification::send(DesktopNotifier& notifier, const RunResult& result,
                               Language language)
{
    return notifier.notify(kProductName, kAppId, bodyOf(result, language));
}

} // namespace kx
