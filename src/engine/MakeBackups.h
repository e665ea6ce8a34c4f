#pragma once

#include "engine/EngineContext.h"

namespace kx {

/** The Make Backups button: log line, autorun file, progress bar, the run. False when the
 *  backup root could not be entered. */
bool makeBackups(EngineContext& ctx);

/** Refreshes every backup file on the medium from its newer source, records the medium's date
 *  and total when anything was copied, and writes the summary. False when the backup root could
 *  not be entered (the summary then shows zero files). */
bool refreshBackups(EngineContext& ctx);

} // namespace kx
