// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"

#include <utility>

namespace kx::test {

/** Whether a call to the platform succeeded; when it did not, its error is kept in `error` for
 *  the checks that follow. */
template <typename T> bool succeeded(const Result<T>& result, SystemError& error)
{
    if (!result)
        error = result.error();
    return bool(result);
}

/** Whether a call to the platform succeeded, its value then kept in `value`, its error
 *  otherwise in `error`. */
template <typename T> bool succeeded(Result<T>&& result, T& value, SystemError& error)
{
    if (!result) {
        error = result.error();
        return false;
    }
    value = std::move(result).value();
    return true;
}

/** Whether a call to the platform failed, its error kept in `error` for the checks that follow. */
template <typename T> bool failed(const Result<T>& result, SystemError& error)
{
    return !succeeded(result, error);
}

} // namespace kx::test
