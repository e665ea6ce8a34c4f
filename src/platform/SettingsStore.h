// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx {

/** The program's persistent settings: sections of named values, opened for one access and
 *  dropped at once. Values of the wrong type read as the default. */
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual bool contains(const std::string& section, const std::string& ident) = 0;
    virtual std::string readString(const std::string& section, const std::string& ident,
                                   const std::string& fallback) = 0;
    virtual std::int64_t readInteger(const std::string& section, const std::string& ident,
                                     std::int64_t fallback) = 0;
    virtual bool readFlag(const std::string& section, const std::string& ident, bool fallback) = 0;
    /** A date-time: days since 30 December 1899; 0 when missing or unreadable. */
    virtual double readDate(const std::string& section, const std::string& ident) = 0;
    virtual void writeString(const std::string& section, const std::string& ident,
                             const std::string& value) = 0;
    virtual void writeInteger(const std::string& section, const std::string& ident,
                              std::int64_t value) = 0;
    virtual void writeFlag(const std::string& section, const std::string& ident, bool value) = 0;
    virtual void writeDate(const std::string& section, const std::string& ident, double value) = 0;
    /** Removes the value; nothing happens where there is none. */
    virtual void remove(const std::string& section, const std::string& ident) = 0;
    /** The idents of a section, in no particular order. Every ident reads back exactly as it
     *  was written, whatever bytes it holds. */
    virtual std::vector<std::string> idents(const std::string& section) = 0;
    /** Writes pending changes; false when the file could not be written. */
    virtual bool sync() = 0;
};

} // namespace kx
