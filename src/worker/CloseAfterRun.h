// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace kx {

class OperationRunner;

/**
 * The close of a window whose run may still work (Esc, a Close button, the window's own close).
 * With no run working the answer is true: the window closes now. Otherwise it is false and the
 * window stays; the user is asked (`askToStop`, true for Yes) whether to stop the run, and on
 * Yes the run is stopped and `closeAgain` is called once it has ended, after finished(): the
 * window has applied what the run left before it closes. A run that ends while the question is
 * open takes the question with it, and the window stays, since what the user was asked about is
 * over. A close while a stop is awaited asks nothing more.
 *
 *     void Window::done(int result)
 *     {
 *         if (!closeAfterRun(*m_runner, [this] { return askToStopRun(this, lang, *m_runner); },
 *                            [this, result] { done(result); }))
 *             return;
 *         saveState();
 *         QDialog::done(result);
 *     }
 */
bool closeAfterRun(OperationRunner& runner, const std::function<bool()>& askToStop,
                   std::function<void()> closeAgain);

} // namespace kx
