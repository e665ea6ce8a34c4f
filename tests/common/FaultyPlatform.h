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

    bool fileStatus(const std::string& path, FileInfo& info, SystemError& error) override
    {
        const auto it = failStatus.find(path);
        if (it != failStatus.end()) {
            error = it->second;
            return false;
        }
        return inner().fileStatus(path, info, error);
    }

    std::int64_t freeSpace(char letter) override
    {
        const auto it = freeSpaceOf.find(letter);
        return it != freeSpaceOf.end() ? it->second : inner().freeSpace(letter);
    }

    std::unique_ptr<DirListing> openDir(const std::string& path, SystemError& error) override
    {
        const auto it = failOpenDir.find(path);
        if (it != failOpenDir.end()) {
            error = it->second;
            return nullptr;
        }
        return inner().openDir(path, error);
    }
    bool copyFile(const std::string& source, const std::string& dest, SystemError& error) override
    {
        return !failing(dest, error) && inner().copyFile(source, dest, error);
    }
    bool stageCopy(const std::string& source, const std::string& dest, StagedCopy& staged,
                   SystemError& error) override
    {
        return !failing(dest, error) && inner().stageCopy(source, dest, staged, error);
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
    // Records the copy; true with the error when the test wants it to fail.
    bool failing(const std::string& dest, SystemError& error)
    {
        copies.push_back(dest);
        const auto it = failCopyTo.find(dest);
        if (it == failCopyTo.end())
            return false;
        error = it->second;
        return true;
    }
};

} // namespace kx::test
