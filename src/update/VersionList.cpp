// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/VersionList.h"

#include "support/Language.h"
#include "support/TextHelpers.h"
#include "update/UpdateText.h"

#include <climits>

namespace kx {

namespace {

// A reply shorter than this cannot hold a version list: something went wrong on the way.
constexpr std::size_t kMinimumReply = 50;
// What the HTTP client's body holds before anything was received.
constexpr const char* kBodyPlaceholder = "Default.htm";

char upperCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

/** A decimal whole number as the list's writer meant it: leading blanks, a sign, digits, and
 *  nothing else, within 32 bits. */
bool toInteger(const std::string& text, std::int32_t& value)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return false;
    std::int64_t result = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        result = result * 10 + (text[i] - '0');
        if (result > std::int64_t(INT_MAX) + 1)
            return false;
    }
    if (negative)
        result = -result;
    if (result > INT_MAX || result < INT_MIN)
        return false;
    value = static_cast<std::int32_t>(result);
    return true;
}

} // namespace

VersionVerdict parseVersionList(const std::string& body, const std::string& programName,
                                const std::string& versionText)
{
    VersionVerdict v;
    const std::string currentDigits = digitsOnly(versionText);
    char currentLetter = 0;
    if (!versionText.empty() && versionText.back() >= 'a' && versionText.back() <= 'z')
        currentLetter = versionText.back();

    if (body.size() < kMinimumReply || body == kBodyPlaceholder) {
        v.code = kFileTooSmall;
        return v;
    }
    const std::size_t bodyTag = body.find("BODY");
    if (bodyTag == std::string::npos) {
        v.code = kProgramNotFound;
        return v;
    }
    const std::size_t namePos = body.find(programName, bodyTag);
    if (namePos == std::string::npos) {
        v.code = kProgramNotFound;
        return v;
    }
    v.recordFound = true;

    // The name, one separator of any kind, then the record up to the next "<".
    const std::string cut = body.substr(namePos);
    const std::size_t recordStart = programName.size() + 1;
    const std::size_t tag = cut.find('<');
    std::string record;
    if (tag != std::string::npos && tag > recordStart)
        record = cut.substr(recordStart, tag - recordStart);

    const std::string afterName = textAfter(',', record);
    const std::string letterField = textBefore(',', afterName);
    if (!letterField.empty())
        v.newLetter = letterField[0];
    const std::string afterLetter = textAfter(',', afterName);
    const std::string sizeField =
        afterLetter.find(',') == std::string::npos ? afterLetter : textBefore(',', afterLetter);
    if (!toInteger(sizeField, v.expectedSizeKB)) {
        v.sizeInvalid = true;
        v.sizeError = "'" + sizeField + "' is not a valid integer value";
        return v;
    }

    v.downloadName = textBefore(',', record);
    v.newDigits = digitsOnly(textBefore('.', v.downloadName));

    // Texts, not numbers: digit strings of one length compare as numbers, and the maker keeps
    // them at three digits.
    const auto letterOrder = [](char c) { return static_cast<unsigned char>(c); };
    const bool newerLetter =
        v.newDigits == currentDigits && v.newLetter != 0 &&
        (currentLetter == 0 || letterOrder(v.newLetter) > letterOrder(currentLetter));
    v.code = newerLetter || v.newDigits > currentDigits ? kUpdateAdvised : kNoUpdateNeeded;

    v.latestVersionText = v.newDigits.substr(0, 1) + "." +
                          (v.newDigits.size() > 1 ? v.newDigits.substr(1, 2) : std::string());
    if (v.newLetter != 0)
        v.latestVersionText += v.newLetter;
    return v;
}

const char* updateMessage(int code, const std::string& languageCode)
{
    const Language language = languageOf(languageCode);
    switch (code) {
    case kNoUpdateNeeded:
        return inLanguage(language, text::noUpdateNeeded);
    case kNoConnection:
        return inLanguage(language, text::noInternetConnection);
    case kFileTooSmall:
        return inLanguage(language, text::fileTooSmall);
    case kProgramNotFound:
        return inLanguage(language, text::programNotFound);
    default:
        return inLanguage(language, text::updateAdvised);
    }
}

std::int64_t gaugePosition(std::int64_t bytesReceived)
{
    std::int64_t kb = bytesReceived / 1024;
    const std::int64_t rest = bytesReceived % 1024;
    if (rest > 512 || (rest == 512 && kb % 2 == 1))
        ++kb;
    return kb;
}

std::string installerDisplayName(const std::string& downloadName)
{
    std::string name = stripDigits(textBefore('.', downloadName));
    if (!name.empty())
        name[0] = upperCase(downloadName[0]);
    return name;
}

} // namespace kx
