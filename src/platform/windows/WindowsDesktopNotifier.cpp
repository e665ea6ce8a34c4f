// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DesktopNotifier.h"

namespace kx {

namespace {

/** Windows has no notification a console program can send without an application identity of
 *  its own: a run from the command line tells how it went on its console and in the log. */
class NoDesktopNotifier : public DesktopNotifier
{
public:
    bool notify(const std::string& /*program*/, const std::string& /*appId*/,
                const std::string& /*body*/) override
    {
        return false;
    }
};

} // namespace

std::unique_ptr<DesktopNotifier> createDesktopNotifier()
{
    return std::make_unique<NoDesktopNotifier>();
}

} // namespace kx
