// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "platform/OperationLock.h"

#include <string>

namespace kx {

/** The text that refuses a file operation while another Kopierix operation runs. */
std::string operationRefusal(const std::string& languageCode);

/** Takes `lock` for a file operation; false, after warning with the refusal, while another
 *  Kopierix operation holds it. */
bool lockOperation(OperationLock& lock, EngineContext& ctx);

} // namespace kx
