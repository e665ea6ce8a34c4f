// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kx {

/** The verdict codes of an update check. */
enum UpdateCode
{
    kNoUpdateNeeded = 0,
    kNoConnection = 1,
    kFileTooSmall = 2,
    kProgramNotFound = 3,
    kUpdateAdvised = 4,
};

/** What the version list says about one program, judged against the running version. */
struct VersionVerdict
{
    int code = kNoUpdateNeeded;
    /** The program's record was found (a list without it clears a pending install). */
    bool recordFound = false;
    /** The record's size field is not a whole number: there is no verdict, only `sizeError`. */
    bool sizeInvalid = false;
    std::string sizeError;

    std::string downloadName;        // field 1: the installer's file name on the server
    std::string newDigits;           // the digits of the download name before its first "."
    char newLetter = 0;              // the release letter of field 2; 0 = none
    std::int32_t expectedSizeKB = 0; // field 3
    std::string latestVersionText;   // "1.02c"
};

/**
 * Judges the version list `body` for the program `programName` running as `versionText`
 * ("version 1.01b"). Codes 0, 2, 3 and 4; code 1 is the fetch's to give.
 * Pure: the same text always gives the same verdict.
 */
VersionVerdict parseVersionList(const std::string& body, const std::string& programName,
                                const std::string& versionText);

/** The message of a verdict code in the user's language. */
const char* updateMessage(int code, const std::string& languageCode);

/** The position of the download's progress bar, in units of 1024 bytes, halves to the even
 *  neighbour. */
std::int64_t gaugePosition(std::int64_t bytesReceived);

/** The name the installer is announced with: the download name's part before its first ".",
 *  without digits, its first character in the upper case of the name's first character
 *  (kopierix102c.exe gives Kopierixc). */
std::string installerDisplayName(const std::string& downloadName);

} // namespace kx
