// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx {

/**
 * What an update check shows: the update window, or the command line's lines. The window
 * forwards these to its widgets.
 */
class UpdateUi
{
public:
    virtual ~UpdateUi() = default;

    /** hourglass (true) or normal cursor. */
    virtual void busy(bool on) = 0;
    /** Shows the update window with this title. */
    virtual void showWindow(const std::string& caption) = 0;
    virtual void clearLines() = 0;
    virtual void addLine(const std::string& line) = 0;
    virtual void setDownloadButton(const std::string& caption) = 0;
    virtual void showDownloadButton(bool shown) = 0;
    virtual void setExitButton(const std::string& caption) = 0;
    virtual void showExitButton(bool shown) = 0;
    /** A failure that ends the check without a verdict, in a message box. */
    virtual void error(const std::string& text) = 0;
};

} // namespace kx
