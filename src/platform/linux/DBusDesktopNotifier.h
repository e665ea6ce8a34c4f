// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DesktopNotifier.h"

namespace kx {

/** Notifications through the desktop's notification service on the session bus. Only where a
 *  session bus is known: a run from cron or a console has none, and then nothing is sent and
 *  nothing waits. */
class DBusDesktopNotifier : public DesktopNotifier
{
public:
    bool notify(const std::string& program, const std::string& appId,
                const std::string& body) override;
};

} // namespace kx
