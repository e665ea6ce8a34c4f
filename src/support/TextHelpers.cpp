// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TextHelpers.h"

#include <algorithm>
#include <cstddef>

namespace kx {

namespace {
// The digit helpers work on short texts: only the first 79 characters count.
constexpr std::size_t kShortTextLength = 79;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

std::string textAfter(char ch, const std::string& s)
{
    const std::size_t pos = s.find(ch);
    if (pos == std::string::npos)
        return std::string();
    return s.substr(pos + 1);
}

std::string textBefore(char ch, const std::string& s)
{
    const std::size_t pos = s.find(ch);
    if (pos == std::string::npos)
        return std::string();
    return s.substr(0, pos);
}

std::string textBeforeLast(char ch, const std::string& s)
{
    if (s.empty())
        return std::string();
    // A folder held with its trailing separator loses just that separator.
    if (s.back() == ch)
        return s.substr(0, s.size() - 1);
    const std::size_t pos = s.rfind(ch);
    if (pos == std::string::npos)
        return std::string();
    return s.substr(0, pos);
}

std::string stripDigits(const std::string& s)
{
    std::string result;
    const std::size_t n = s.size() < kShortTextLength ? s.size() : kShortTextLength;
    for (std::size_t i = 0; i < n; ++i) {
        if (!isDigit(s[i]))
            result += s[i];
    }
    return result;
}

std::string digitsOnly(const std::string& s)
{
    std::string result;
    const std::size_t n = s.size() < kShortTextLength ? s.size() : kShortTextLength;
    for (std::size_t i = 0; i < n; ++i) {
        if (isDigit(s[i]))
            result += s[i];
    }
    return result;
}

std::string lowerCase(const std::string& s)
{
    std::string result = s;
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

namespace {

unsigned char lowerByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

} // namespace

bool lessIgnoringCase(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lowerByte(x) < lowerByte(y); });
}

bool equalIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerByte(x) == lowerByte(y);
           });
}

std::string upperCase(const std::string& s)
{
    std::string result = s;
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

std::string fillIn(const std::string& form, std::initializer_list<std::string> arguments)
{
    std::string result;
    result.reserve(form.size());
    for (std::size_t i = 0; i < form.size(); ++i) {
        const char next = i + 1 < form.size() ? form[i + 1] : '\0';
        const std::size_t number = static_cast<std::size_t>(next - '1');
        if (form[i] == '%' && next >= '1' && next <= '9' && number < arguments.size()) {
            result += *(arguments.begin() + number);
            ++i;
        } else {
            result += form[i];
        }
    }
    return result;
}

} // namespace kx
