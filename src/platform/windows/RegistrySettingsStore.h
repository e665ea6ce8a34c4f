// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SettingsStore.h"

#include <string>

namespace kx {

// The settings in the registry of the current user: one key per section below the program's
// key, one value per ident. Texts are REG_SZ, integers REG_QWORD (a REG_DWORD of an earlier
// version reads too), flags REG_DWORD and dates the eight bytes of their double as REG_BINARY,
// as the program has always kept them. A value of another type reads as the default.
//
// The registry takes a value name as UTF-16 text that ends at its first NUL: an ident holds
// "%", NUL and, when it is no text, its bytes above 127 as %XX, so that every ident is found
// again. Value names ignore case, as Windows's names do: two idents that differ in case alone
// are one value.
class RegistrySettingsStore : public SettingsStore
{
public:
    /** The settings below HKEY_CURRENT_USER\`keyPath`. */
    explicit RegistrySettingsStore(std::wstring keyPath = L"Software\\Kopierix");

    bool contains(const std::string& section, const std::string& ident) override;
    std::string readString(const std::string& section, const std::string& ident,
                           const std::string& fallback) override;
    std::int64_t readInteger(const std::string& section, const std::string& ident,
                             std::int64_t fallback) override;
    bool readFlag(const std::string& section, const std::string& ident, bool fallback) override;
    double readDate(const std::string& section, const std::string& ident) override;
    void writeString(const std::string& section, const std::string& ident,
                     const std::string& value) override;
    void writeInteger(const std::string& section, const std::string& ident,
                      std::int64_t value) override;
    void writeFlag(const std::string& section, const std::string& ident, bool value) override;
    void writeDate(const std::string& section, const std::string& ident, double value) override;
    void remove(const std::string& section, const std::string& ident) override;
    std::vector<std::string> idents(const std::string& section) override;
    /** The registry takes each value as it is written: false when one of them was refused. */
    bool sync() override;

private:
    struct Value
    {
        unsigned long type = 0;
        std::string bytes;
    };

    std::wstring sectionKey(const std::string& section) const;
    bool read(const std::string& section, const std::string& ident, Value& value);
    void write(const std::string& section, const std::string& ident, unsigned long type,
               const void* data, std::size_t size);
    bool integerValue(const std::string& section, const std::string& ident, std::int64_t& result);

    std::wstring m_keyPath;
    bool m_failed = false;
};

} // namespace kx
