// SPDX-License-Identifier: GPL-3.0-or-later
#include "worker/CloseAfterRun.h"

#include "worker/OperationRunner.h"

#include <utility>

namespace kx {

bool closeAfterRun(OperationRunner& runner, const std::function<bool()>& askToStop,
                   std::function<void()> closeAgain)
{
    if (!runner.isRunning())
        return true;
    // The question keeps the GUI thread turning: the run may end while it is open.
    if (!runner.endAwaited() && askToStop() && runner.isRunning())
        runner.stopThen(std::move(closeAgain));
    return false;
}

} // namespace kx
