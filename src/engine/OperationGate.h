// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "platform/OperationLock.h"

#include <string>

namespace kx {

/** The text that refuses a file operation while another Kopierix operation runs. */
std::string operationRefusal(const std::string& languageCode);

/** The text that refuses a file operation whose `lock` was not taken: another operation runs,
 *  or the lock file cannot be used (named with the reason). */
std::string lockRefusal(const OperationLock& lock, const std::string& languageCode);

/** The text that refuses `letter` as the backup drive (the system's root, a pseudo file system,
 *  …) with the reason; empty when the drive may hold a backup. */
std::string backupDriveRefusal(Drives& drives, char letter, Language language);

/** Takes `lock` for a file operation on the backup drive; false, after warning with the
 *  refusal, when the backup drive can never hold a backup, while another Kopierix operation
 *  holds the lock, or when the lock cannot be taken. */
bool lockOperation(OperationLock& lock, EngineContext& ctx);

} // namespace kx
