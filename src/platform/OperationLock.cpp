// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OperationLock.h"

#include "platform/OperationRun.h"

namespace kx {

OperationLock::OperationLock(Kind kind) : m_kind(kind) {}

OperationLock::~OperationLock()
{
    unlock();
}

bool OperationLock::tryLock()
{
    m_failure.clear();
    if (!open())
        return false;
    if (lockFile(true)) {
        if (m_kind == Kind::Operation)
            operationRun::begin(this);
        return true;
    }
    unlock();
    return false;
}

const std::string& OperationLock::failure() const
{
    return m_failure;
}

void OperationLock::lockShared()
{
    if (open())
        lockFile(false);
}

void OperationLock::unlock()
{
    operationRun::end(this);
    closeFile();
}

} // namespace kx
