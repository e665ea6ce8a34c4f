// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx::win {

/** True where the console window is the program's alone, as when it was started from the
 *  Explorer: the window then closes as the program ends, and every line in it with it. False
 *  where the program runs in a console that stays (a command prompt's), and where its console
 *  shows no window (a program started without one, or wine on a terminal). */
bool consoleClosesWithProgram();

/** Waits until a key is pressed in the console window; a modifier alone is no key. Returns at
 *  once where the console has no input. */
void waitForKey();

} // namespace kx::win
