// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"
#include "platform/SettingsStore.h"

#include <memory>
#include <string>

namespace kx {

/** The program's own data: the files of its per-user data folder (the logs) and its settings. */
class DataStore
{
public:
    virtual ~DataStore() = default;

    /** Native path of the per-user data folder of the program, created when missing. */
    virtual std::string dataFolder() = 0;
    /** Appends to a file of the data folder; the system's reason when it could not. */
    virtual Result<void> appendDataFile(const std::string& name, const std::string& bytes) = 0;
    virtual bool renameDataFile(const std::string& from, const std::string& to) = 0;
    virtual bool removeDataFile(const std::string& name) = 0;

    virtual std::unique_ptr<SettingsStore> openSettings() = 0;
};

} // namespace kx
