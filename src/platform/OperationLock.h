// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx {

/**
 * A per-user lock on a file beside the settings file, so that each settings folder has locks of
 * its own. Two holders conflict even within one process; the system frees the lock of a process
 * that dies, so a killed run never leaves it behind.
 *
 * Two locks exist:
 * - Operation (Kopierix.lock): held around every file operation, from the windows and the
 *   command line alike, so that no two operations run at once;
 * - Windows (Kopierix.window.lock): shared by the open windows for their lifetime, so that a
 *   headless run can tell whether a window is running.
 *
 *     OperationLock lock;
 *     if (!lock.tryLock())
 *         return; // another operation runs: refuse this one
 */
class OperationLock
{
public:
    enum class Kind
    {
        Operation,
        Windows,
    };

    explicit OperationLock(Kind kind = Kind::Operation);
    ~OperationLock();
    OperationLock(const OperationLock&) = delete;
    OperationLock& operator=(const OperationLock&) = delete;

    /** Takes the lock for this holder alone, without waiting; false when someone else holds it,
     *  and false too when the lock file cannot be opened or locked (see failure()): without the
     *  lock two runs could write at once. */
    bool tryLock();
    /** Why the last tryLock() could not take the lock, naming the lock file; empty when it was
     *  taken or another holder has it. */
    const std::string& failure() const;
    /** Takes the lock together with other shared holders, waiting while a sole holder has it. */
    void lockShared();
    /** Lets the lock go (the destructor does too). */
    void unlock();

private:
    // What each system does its own way: open the lock file (false with m_failure set), lock it
    // (exclusive without waiting, or shared and waiting: false when it is not taken, with
    // m_failure set unless another holder has it), and close it, which lets its locks go.
    bool open();
    bool lockFile(bool exclusive);
    void closeFile();

    Kind m_kind;
    int m_fd = -1;
    std::string m_failure;
};

} // namespace kx
