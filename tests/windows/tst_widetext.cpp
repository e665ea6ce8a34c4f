// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WideText.h"

#include <doctest/doctest.h>

using kx::win::fromWide;
using kx::win::longPath;
using kx::win::toWide;

TEST_CASE("names round-trip between UTF-16 and the program's bytes")
{
    const std::wstring names[] = {
        L"plain.txt",
        L"\u00dcn\u00efc\u00f8d\u00e9 \u20acuro",
        L"\U0001F600 \u65e5\u672c",
        std::wstring(1, wchar_t(0xD800)) + L"lone high",
        L"lone low" + std::wstring(1, wchar_t(0xDC00)),
    };
    for (const std::wstring& name : names)
        CHECK(toWide(fromWide(name)) == name);
    CHECK(fromWide(L"\u00e9\U0001F600") == "\xC3\xA9\xF0\x9F\x98\x80");
}

TEST_CASE("bytes that are no character become the replacement character")
{
    CHECK(toWide("a\xFF"
                 "b") == L"a\uFFFDb");
    CHECK(toWide("\xC0\xAF") == L"\uFFFD\uFFFD"); // an overlong "/"
    CHECK(toWide("\xE2\x82") == L"\uFFFD\uFFFD"); // cut short
}

TEST_CASE("drive paths get the prefix that lifts the length limit")
{
    CHECK(longPath("e:\\C-Docs\\a.txt") == L"\\\\?\\e:\\C-Docs\\a.txt");
    CHECK(longPath("e:") == L"\\\\?\\e:\\");
    CHECK(longPath("\\\\server\\share\\a") == L"\\\\?\\UNC\\server\\share\\a");
    CHECK(longPath("\\\\?\\e:\\a") == L"\\\\?\\e:\\a");
}

TEST_CASE("a system error carries its code and the system's text")
{
    const kx::SystemError error = kx::win::errorOf(2);
    CHECK(error.code == 2);
    CHECK_FALSE(error.message.empty());
    CHECK(error.message.back() != '\n');
}
