// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ForwardingPlatform.h"

#include <map>
#include <memory>
#include <set>
#include <string>

namespace kx::test {

/**
 * A platform that passes every call to a real one, except the failures a test asks for: a
 * folder that cannot be read, a copy that fails with a given error. It shows faults that a
 * test running as root cannot make with permissions.
 */
class FaultyPlatform : public ForwardingPlatform
{
public:
    using ForwardingPlatform::ForwardingPlatform;

    /** Listing this folder (drive path, exact text) fails with the error. */
    std::map<std::string, SystemError> failOpenDir;
    /** A copy onto this destination (drive path, exact text) fails with the error. */
    std::map<std::string, SystemError> failCopyTo;
    /** The status of this path (drive path, exact text) fails with the error. */
    std::map<std::string, SystemError> failStatus;
    /** The free space of these drives (letters in lower case), as the system would report it. */
    std::map<char, std::int64_t> freeSpaceOf;
    /** A comparison that reads this file (drive path, exact text), on either side, fails with
     *  the error. */
    std::map<std::string, SystemError> failRead;
    /** Paths whose copy was asked for, in order. */
    std::vector<std::string> copies;

    Result<FileInfo> fileStatus(const std::string& path) override
    {
        const auto it = failStatus.find(path);
        if (it != failStatus.end())
            return it->second;
        return inner().fileStatus(path);
    }

    std::int64_t freeSpace(char letter) override
    {
        const auto it = freeSpaceOf.find(letter);
        return it != freeSpaceOf.end() ? it->second : inner().freeSpace(letter);
    }

    Result<std::unique_ptr<DirListing>> openDir(const std::string& path) override
    {
        const auto it = failOpenDir.find(path);
        if (it != failOpenDir.end())
            return it->second;
        return inner().openDir(path);
    }
    Result<void> copyFile(const std::string& source, const std::string& dest) override
    {
        if (const SystemError* error = failing(dest))
            return *error;
        return inner().copyFile(source, dest);
    }
    Result<StagedCopy> stageCopy(const std::string& source, const std::string& dest) override
    {
        if (const SystemError* error = failing(dest))
            return *error;
        return inner().stageCopy(source, dest);
    }
    FileComparison compareFiles(const std::string& first, const std::string& second) override
    {
        const std::string* paths[2] = {&first, &second};
        for (int i = 0; i < 2; ++i) {
            const auto it = failRead.find(*paths[i]);
            if (it != failRead.end())
                return {FileComparison::Failed, i, it->second};
        }
        return inner().compareFiles(first, second);
    }

private:
    // Records the copy; the error when the test wants it to fail.
    const SystemError* failing(const std::string& dest)
    {
        copies.push_back(dest);
        const auto it = failCopyTo.find(dest);
        return it == failCopyTo.end() ? nullptr : &it->second;
    }
};

} // namespace kx::test
