// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::operationRun {

// The run of an operation that this process holds the operation lock for. While it is held no
// other run of this user is active on this computer, so the temporary files of any other run
// of this user here are leftovers: the token tells this run's own apart, also from those of an
// earlier run of the same process (a watch makes many) or of a process whose number a reboot
// gave again.

// Starts a run with a fresh token, for the lock `holder` that has just been taken.
void begin(const void* holder);
// Ends the run of `holder`, when it is the one running.
void end(const void* holder);
// The token of the run in progress; 0 while this process holds no operation lock.
std::uint64_t current();

} // namespace kx::operationRun
