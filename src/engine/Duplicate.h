#pragma once

#include "engine/EngineContext.h"

namespace kx {

/** The Duplicate button: copies the backup medium through a temporary area on the drive with
 *  the most free space onto a new medium in the same drive, makes sure the new medium has a name
 *  of its own, removes the temporary area and records the new medium. True when the run went to
 *  its end; false when the user cancelled or a check ended it. */
bool duplicateMedium(EngineContext& ctx);

} // namespace kx
