#include "engine/WalkSummary.h"

namespace kx {

void WalkFailures::copyFailed(EngineContext& ctx, const std::string& source,
                              const std::string& dest, const SystemError& error)
{
    ++m_failed;
    ctx.log.WriteLog(source + ctx.nlEn(" niet gekopieerd naar ", " not copied to ") + dest + " - " +
                     error.message);
}

void WalkFailures::summarise(EngineContext& ctx, std::uint64_t unreadableFolders) const
{
    auto add = [&](const std::string& line) {
        ctx.ui.memo(line);
        ctx.log.WriteLog(line);
    };
    if (m_failed > 0)
        add(ctx.nlEn("Aantal mislukte kopieën = ", "Number of failed copies = ") +
            std::to_string(m_failed));
    if (unreadableFolders > 0)
        add(ctx.nlEn("Aantal onleesbare mappen = ", "Number of folders that could not be read = ") +
            std::to_string(unreadableFolders));
}

} // namespace kx
