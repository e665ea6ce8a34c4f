// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OperationLock.h"

namespace kx {

OperationLock::OperationLock(Kind kind) : m_kind(kind) {}

OperationLock::~OperationLock()
{
    unlock();
}

bool OperationLock::tryLock()
{
    return open();
}

const std::string& OperationLock::failure() const
{
    return m_failure;
}

void OperationLock::lockShared() {}

void OperationLock::unlock() {}

bool OperationLock::open()
{
    return true;
}

} // namespace kx
