// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <initializer_list>
#include <string>

namespace kx {

/** The part of s after the first ch; empty when s holds no ch. */
std::string textAfter(char ch, const std::string& s);
/** The part of s before the first ch; empty when s holds no ch or starts with ch. */
std::string textBefore(char ch, const std::string& s);
/** s without its last ch when it ends in ch, else the part before its last ch; empty when s
 *  holds no ch. */
std::string textBeforeLast(char ch, const std::string& s);
/** The first 79 characters of s without their digits. */
std::string stripDigits(const std::string& s);
/** Only the digits of the first 79 characters of s. */
std::string digitsOnly(const std::string& s);

/** ASCII lower/upper case; other bytes are left alone. */
std::string lowerCase(const std::string& s);
std::string upperCase(const std::string& s);
/** Byte order after ASCII lower-casing: the order of names compared without regard to case. */
bool lessIgnoringCase(const std::string& a, const std::string& b);
bool equalIgnoringCase(const std::string& a, const std::string& b);

/** The Dutch or the English text, after the language code ("nld" selects Dutch). */
/** `form` with each "%1", "%2", … replaced by the argument of that number. */
std::string fillIn(const std::string& form, std::initializer_list<std::string> arguments);

} // namespace kx
