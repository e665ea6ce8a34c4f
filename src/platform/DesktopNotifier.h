// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

namespace kx {

/** The desktop's notifications, for a run that no window shows. */
class DesktopNotifier
{
public:
    virtual ~DesktopNotifier() = default;

    /** Shows `body` under the program's name, paired with its desktop entry `appId`; false
     *  when there is no desktop session or no notification service to take it. */
    virtual bool notify(const std::string& program, const std::string& appId,
                        const std::string& body) = 0;
};

/** The notifications of the system the program was built for. */
std::unique_ptr<DesktopNotifier> createDesktopNotifier();

} // namespace kx
