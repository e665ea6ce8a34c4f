#pragma once

#include "engine/EngineContext.h"

namespace kx {

/** The Restore All button: after the user's confirmation, copies every backup file of the
 *  medium back over its source and writes the summary. False when the user said No or the
 *  backup root could not be entered (then no summary is written). */
bool restoreAll(EngineContext& ctx);

} // namespace kx
