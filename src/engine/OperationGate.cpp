#include "engine/OperationGate.h"

#include "support/TextHelpers.h"

namespace kx {

std::string operationRefusal(const std::string& languageCode)
{
    return nlEn(languageCode, "Er loopt al een bewerking van Kopierix; probeer het later opnieuw.",
                "Another Kopierix operation is running; try again later.");
}

bool lockOperation(OperationLock& lock, EngineContext& ctx)
{
    if (lock.tryLock())
        return true;
    ctx.ui.warn(operationRefusal(ctx.facts.languageCode));
    return false;
}

} // namespace kx
