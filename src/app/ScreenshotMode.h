// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx {

class Application;

/**
 * Pictures of the windows without a person at the keyboard, for the program's documentation:
 * with KOPIERIX_SCREENSHOT=<window>:<file.png> in the environment the program opens that window
 * once the main window is ready, saves a picture of it and ends. <window> is one of main, manage,
 * newer, restore (the question of Restore All, answered No), about, splash. Without the variable
 * this does nothing. Built only into kopierix-screenshots (the KOPIERIX_SCREENSHOTS option),
 * beside the program: the shipped program has no such mode.
 */
void armScreenshotMode(Application& app);

} // namespace kx
