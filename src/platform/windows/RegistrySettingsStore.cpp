// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/RegistrySettingsStore.h"

#include "platform/IdentEscape.h"
#include "platform/windows/WideText.h"

#include <windows.h>

#include <cmath>
#include <cstring>

namespace kx {

namespace {

std::wstring valueName(const std::string& ident)
{
    // Bytes that are no text would become U+FFFD on the way to UTF-16, and a name ends at NUL.
    const bool text = win::fromWide(win::toWide(ident)) == ident;
    return win::toWide(escapeIdent(ident, std::string_view("\0", 1), text));
}

std::string identOf(const wchar_t* name, std::size_t length)
{
    return unescapeIdent(win::fromWide(name, length));
}

enum class Access
{
    Read,
    Write,  // an existing key
    Create, // made when missing
};

// A key of the current user, closed at the end of its scope; null when it could not be opened.
class Key
{
public:
    Key(const std::wstring& path, Access access)
    {
        const LSTATUS status =
            access == Access::Create
                ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                  KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr)
                : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0,
                                access == Access::Write ? KEY_READ | KEY_WRITE : KEY_READ, &m_key);
        if (status != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~Key()
    {
        if (m_key != nullptr)
            RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

} // namespace

RegistrySettingsStore::RegistrySettingsStore(std::wstring keyPath) : m_keyPath(std::move(keyPath))
{
}

std::wstring RegistrySettingsStore::sectionKey(const std::string& section) const
{
    return m_keyPath + L"\\" + win::toWide(section);
}

bool RegistrySettingsStore::read(const std::string& section, const std::string& ident, Value& value)
{
    const Key key(sectionKey(section), Access::Read);
    if (key.get() == nullptr)
        return false;
    const std::wstring name = valueName(ident);
    for (;;) {
        DWORD type = 0;
        DWORD size = DWORD(value.bytes.size());
        const LSTATUS status = RegQueryValueExW(
            key.get(), name.c_str(), nullptr, &type,
            value.bytes.empty() ? nullptr : reinterpret_cast<BYTE*>(value.bytes.data()), &size);
        if (status == ERROR_SUCCESS && (size <= value.bytes.size() || size == 0)) {
            value.type = type;
            value.bytes.resize(size);
            return true;
        }
        // The value grew meanwhile, or its size was only asked for: ask again with room.
        if (status != ERROR_MORE_DATA && status != ERROR_SUCCESS)
            return false;
        value.bytes.resize(size);
    }
}

void RegistrySettingsStore::write(const std::string& section, const std::string& ident,
                                  unsigned long type, const void* data, std::size_t size)
{
    const Key key(sectionKey(section), Access::Create);
    if (key.get() == nullptr ||
        RegSetValueExW(key.get(), valueName(ident).c_str(), 0, type, static_cast<const BYTE*>(data),
                       DWORD(size)) != ERROR_SUCCESS)
        m_failed = true;
}

bool RegistrySettingsStore::contains(const std::string& section, const std::string& ident)
{
    Value value;
    return read(section, ident, value);
}

std::string RegistrySettingsStore::readString(const std::string& section, const std::string& ident,
                                              const std::string& fallback)
{
    Value value;
    if (!read(section, ident, value) || value.type != REG_SZ || value.bytes.size() % 2 != 0)
        return fallback;
    std::wstring text(value.bytes.size() / 2, L'\0');
    std::memcpy(text.data(), value.bytes.data(), value.bytes.size());
    // The terminating NUL is a part of the data, when the writer put it there.
    if (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return win::fromWide(text);
}

bool RegistrySettingsStore::integerValue(const std::string& section, const std::string& ident,
                                         std::int64_t& result)
{
    Value value;
    if (!read(section, ident, value))
        return false;
    if (value.type == REG_DWORD && value.bytes.size() == sizeof(std::int32_t)) {
        std::int32_t number = 0;
        std::memcpy(&number, value.bytes.data(), sizeof number);
        result = number;
        return true;
    }
    if (value.type == REG_QWORD && value.bytes.size() == sizeof(std::int64_t)) {
        std::memcpy(&result, value.bytes.data(), sizeof result);
        return true;
    }
    return false;
}

std::int64_t RegistrySettingsStore::readInteger(const std::string& section,
                                                const std::string& ident, std::int64_t fallback)
{
    std::int64_t result = 0;
    return integerValue(section, ident, result) ? result : fallback;
}

bool RegistrySettingsStore::readFlag(const std::string& section, const std::string& ident,
                                     bool fallback)
{
    std::int64_t result = 0;
    return integerValue(section, ident, result) ? result != 0 : fallback;
}

double RegistrySettingsStore::readDate(const std::string& section, const std::string& ident)
{
    Value value;
    double result = 0;
    if (!read(section, ident, value) || value.type != REG_BINARY ||
        value.bytes.size() != sizeof result)
        return 0.0;
    std::memcpy(&result, value.bytes.data(), sizeof result);
    return std::isfinite(result) ? result : 0.0;
}

void RegistrySettingsStore::writeString(const std::string& section, const std::string& ident,
                                        const std::string& value)
{
    const std::wstring text = win::toWide(value);
    write(section, ident, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void RegistrySettingsStore::writeInteger(const std::string& section, const std::string& ident,
                                         std::int64_t value)
{
    write(section, ident, REG_QWORD, &value, sizeof value);
}

void RegistrySettingsStore::writeFlag(const std::string& section, const std::string& ident,
                                      bool value)
{
    const DWORD number = value ? 1 : 0;
    write(section, ident, REG_DWORD, &number, sizeof number);
}

void RegistrySettingsStore::writeDate(const std::string& section, const std::string& ident,
                                      double value)
{
    write(section, ident, REG_BINARY, &value, sizeof value);
}

void RegistrySettingsStore::remove(const std::string& section, const std::string& ident)
{
    const Key key(sectionKey(section), Access::Write);
    if (key.get() == nullptr)
        return;
    const LSTATUS status = RegDeleteValueW(key.get(), valueName(ident).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        m_failed = true;
}

std::vector<std::string> RegistrySettingsStore::idents(const std::string& section)
{
    std::vector<std::string> result;
    const Key key(sectionKey(section), Access::Read);
    DWORD count = 0;
    DWORD longest = 0;
    if (key.get() == nullptr ||
        RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return result;
    std::wstring name(std::size_t(longest) + 1, L'\0');
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = DWORD(name.size());
        if (RegEnumValueW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            result.push_back(identOf(name.data(), length));
    }
    return result;
}

bool RegistrySettingsStore::sync()
{
    return !m_failed;
}

} // namespace kx
