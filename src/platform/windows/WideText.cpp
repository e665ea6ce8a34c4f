// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WideText.h"

#include <windows.h>

namespace kx::win {

namespace {

void appendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out.push_back(char(code));
    } else if (code < 0x800) {
        out.push_back(char(0xC0 | (code >> 6)));
        out.push_back(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(char(0xE0 | (code >> 12)));
        out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(char(0x80 | (code & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (code >> 18)));
        out.push_back(char(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(char(0x80 | (code & 0x3F)));
    }
}

void appendUtf16(std::wstring& out, char32_t code)
{
    if (code < 0x10000) {
        out.push_back(wchar_t(code));
    } else {
        code -= 0x10000;
        out.push_back(wchar_t(0xD800 + (code >> 10)));
        out.push_back(wchar_t(0xDC00 + (code & 0x3FF)));
    }
}

bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

std::string fromWide(const std::wstring& wide)
{
    return fromWide(wide.data(), wide.size());
}

std::string fromWide(const wchar_t* wide, std::size_t length)
{
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        char32_t unit = char16_t(wide[i]);
        if (isHighSurrogate(unit) && i + 1 < length && isLowSurrogate(char16_t(wide[i + 1]))) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (char16_t(wide[i + 1]) - 0xDC00);
            ++i;
        }
        // A lone surrogate is written as the three bytes of its code point (WTF-8).
        appendUtf8(out, unit);
    }
    return out;
}

std::wstring toWide(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = byte(i);
        std::size_t length = 0;
        char32_t code = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
            least = 0x10000;
        }
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                valid = false;
            else
                code = (code << 6) | (byte(i + k) & 0x3F);
        }
        // Overlong forms and code points past Unicode's end are no part of any name; a
        // surrogate's own three bytes are (WTF-8) and become that unit again.
        if (valid && (code < least || code > 0x10FFFF))
            valid = false;
        if (!valid) {
            out.push_back(L'\uFFFD');
            ++i;
            continue;
        }
        appendUtf16(out, code);
        i += length;
    }
    return out;
}

std::wstring longPath(const std::string& drivePath)
{
    std::wstring path = toWide(drivePath);
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    if (path.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() >= 2 && path[1] == L':') {
        if (path.size() == 2)
            path.push_back(L'\\');
        return L"\\\\?\\" + path;
    }
    return path;
}

SystemError lastError()
{
    return errorOf(GetLastError());
}

SystemError errorOf(unsigned long code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string message;
    if (length != 0 && buffer)
        message = fromWide(buffer, length);
    LocalFree(buffer);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    if (message.empty())
        message = "Error " + std::to_string(code);
    return SystemError{int(code), message};
}

} // namespace kx::win
