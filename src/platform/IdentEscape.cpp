// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/IdentEscape.h"

#include <cstring>

namespace kx {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int hexValue(char c)
{
    const char* digit = c == '\0' ? nullptr : std::strchr(kHexDigits, c);
    return digit ? int(digit - kHexDigits) : -1;
}

} // namespace

std::string escapeIdent(const std::string& ident, std::string_view reserved, bool isText)
{
    std::string escaped;
    escaped.reserve(ident.size());
    for (const char c : ident) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '%' || reserved.find(c) != std::string_view::npos || (u > 127 && !isText)) {
            escaped += '%';
            escaped += kHexDigits[u / 16];
            escaped += kHexDigits[u % 16];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string unescapeIdent(const std::string& key)
{
    std::string ident;
    ident.reserve(key.size());
    for (std::size_t i = 0; i < key.size(); ++i) {
        const int high = key[i] == '%' && i + 1 < key.size() ? hexValue(key[i + 1]) : -1;
        const int low = high >= 0 && i + 2 < key.size() ? hexValue(key[i + 2]) : -1;
        if (low >= 0) {
            ident += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            ident += key[i];
        }
    }
    return ident;
}

} // namespace kx
