// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/UserInterface.h"

namespace kx {

/** A user who hears nothing and answers No: for a pass that only counts. */
class QuietUserInterface : public UserInterface
{
public:
    void addLine(const std::string&) override {}
    void failure(const std::string&) override {}
    void clearLines() override {}
    void progress(int) override {}
    void showProgress(bool) override {}
    void progressTotalKnown(bool) override {}
    void progressBytes(std::int64_t, std::int64_t) override {}
    bool askCopyWhatFits(const std::string&, const std::string&, const std::string&) override;
    void runCounts(const RunResult&) override {}
    void status(const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override;
    bool askText(const std::string&, const std::string&, std::string&) override;
    void showTimed(const std::string&, int) override {}
    void warn(const std::string&) override {}
    void inform(const std::string&) override {}
    void busy(bool) override {}
};

} // namespace kx
