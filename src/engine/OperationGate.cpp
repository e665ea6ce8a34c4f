// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/OperationGate.h"

#include "engine/EngineTexts.h"
#include "support/TextHelpers.h"

#include <cctype>

namespace kx {

std::string operationRefusal(const std::string& languageCode)
{
    return fillIn(inLanguage(languageOf(languageCode), text::anotherOperationRuns), {kProductName});
}

std::string lockRefusal(const OperationLock& lock, const std::string& languageCode)
{
    if (lock.failure().empty())
        return operationRefusal(languageCode);
    return fillIn(inLanguage(languageOf(languageCode), text::operationLockFailed),
                  {kProductName, lock.failure()});
}

std::string backupDriveRefusal(Drives& drives, char letter, Language language)
{
    std::string reason = drives.unfitForBackup(letter);
    if (reason.empty())
        return reason;
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    return fillIn(inLanguage(language, text::backupDriveUnfit),
                  {std::string(1, drive) + ":", reason});
}

bool lockOperation(OperationLock& lock, EngineContext& ctx)
{
    // Judged before anything is taken or written: the run would write into the system itself.
    if (!ctx.target.base.empty()) {
        const std::string refusal =
            backupDriveRefusal(ctx.platform, ctx.target.base.front(), ctx.language());
        if (!refusal.empty()) {
            ctx.ui.warn(refusal);
            return false;
        }
    }
    if (lock.tryLock())
        return true;
    ctx.ui.warn(lockRefusal(lock, ctx.facts.languageCode));
    return false;
}

} // namespace kx
