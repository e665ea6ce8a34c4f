// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/OperationGate.h"

#include "engine/EngineTexts.h"
#include "support/TextHelpers.h"

namespace kx {

std::string operationRefusal(const std::string& languageCode)
{
    return fillIn(inLanguage(languageOf(languageCode), text::anotherOperationRuns), {kProductName});
}

bool lockOperation(OperationLock& lock, EngineContext& ctx)
{
    if (lock.tryLock())
        return true;
    ctx.ui.warn(operationRefusal(ctx.facts.languageCode));
    return false;
}

} // namespace kx
