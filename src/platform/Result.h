// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SystemError.h"

#include <utility>
#include <variant>

namespace kx {

/** What a call to the system gives: its value, or the error that kept it from one. Tested as a
 *  bool; value() and error() may only be asked for the one it holds. */
template <typename T> class Result
{
public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(SystemError error) : m_state(std::in_place_index<1>, std::move(error)) {}

    explicit operator bool() const { return m_state.index() == 0; }

    T& value() & { return std::get<0>(m_state); }
    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    const SystemError& error() const { return std::get<1>(m_state); }

private:
    std::variant<T, SystemError> m_state;
};

/** What a call to the system that gives nothing else gives: success, or its error. */
template <> class Result<void>
{
public:
    Result() = default;
    Result(SystemError error) : m_failed(true), m_error(std::move(error)) {}

    explicit operator bool() const { return !m_failed; }

    const SystemError& error() const { return m_error; }

private:
    bool m_failed = false;
    SystemError m_error;
};

} // namespace kx
