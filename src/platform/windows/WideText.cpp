// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WideText.h"

namespace kx::win {

std::string fromWide(const std::wstring& wide)
{
    return fromWide(wide.data(), wide.size());
}

std::string fromWide(const wchar_t* /*wide*/, std::size_t /*length*/)
{
    return {};
}

std::wstring toWide(const std::string& /*text*/)
{
    return {};
}

std::wstring longPath(const std::string& /*drivePath*/)
{
    return {};
}

SystemError lastError()
{
    return {};
}

SystemError errorOf(unsigned long /*code*/)
{
    return {};
}

} // namespace kx::win
