// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RunResult.h"
#include "platform/DesktopNotifier.h"
#include "support/Language.h"

#include <string>

namespace kx {

// The desktop's notification at the end of a run without windows, so that a run nobody started
// by hand still tells how it went.
class DesktopNotification
{
public:
    // The text of the notification: files copied, failed, and without a source.
    static std::string bodyOf(const RunResult& result, Language language);
    // Sends it; false when there was no desktop session or no notification service to take it.
    static bool send(DesktopNotifier& notifier, const RunResult& result, Language language);
};

} // namespace kx
