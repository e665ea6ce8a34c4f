// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WideText.h"

#include <doctest/doctest.h>

using kx::win::fromWide;
using kx::win::toWide;

TEST_CASE("names round-trip between UTF-16 and UTF-8")
{
    for (const std::wstring& name : {std::wstring(L"plain.txt"), std::wstring(L"\u00dcn\u00efc\u00f8d\u00e9 \u20acuro"),
                                     std::wstring(L"\U0001F600 \u65e5\u672c")})
        CHECK(toWide(fromWide(name)) == name);
}
