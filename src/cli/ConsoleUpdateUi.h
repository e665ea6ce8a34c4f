// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "update/UpdateUi.h"

namespace kx {

/** The update window's lines on standard output, its message boxes on standard error. */
class ConsoleUpdateUi : public UpdateUi
{
public:
    void busy(bool) override {}
    void showWindow(const std::string&) override {}
    void clearLines() override {}
    void addLine(const std::string& line) override;
    void setDownloadButton(const std::string&) override {}
    void showDownloadButton(bool) override {}
    void setExitButton(const std::string&) override {}
    void showExitButton(bool) override {}
    void error(const std::string& text) override;
};

} // namespace kx
