// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>

namespace kx {

// The settings as an ini file. QSettings writes it through a temporary file and a rename, so a
// crash in the middle of a write never leaves half a file behind. Only a regular file, or a link
// to one, is read and written: anything else in its place leaves every value at its default and
// is never written.
class IniSettingsStore : public SettingsStore
{
public:
    explicit IniSettingsStore(const QString& fileName);
    ~IniSettingsStore() override;

    /** The user's settings file, $XDG_CONFIG_HOME/Kopierix/Kopierix.ini; what else the program
     *  keeps per settings folder (its locks) lies beside it. */
    static QString userFile();

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
    bool sync() override;

private:
    QVariant value(const std::string& section, const std::string& ident);
    void setValue(const std::string& section, const std::string& ident, const QVariant& value);
    bool integerValue(const std::string& section, const std::string& ident, std::int64_t& result);

    std::unique_ptr<QSettings> m_settings; // null when the file is not one to use
    bool m_readable = false;
};

} // namespace kx
