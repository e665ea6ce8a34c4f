// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DriveQueries.h"

#include "support/TextHelpers.h"

namespace kx {

namespace {

// The longest system message a volume label's error text carries.
constexpr std::size_t kMessageLength = 256;

char lowerLetter(char letter)
{
    return (letter >= 'A' && letter <= 'Z') ? static_cast<char>(letter - 'A' + 'a') : letter;
}

bool isControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

// The system's message as one line without a closing full stop, so that it reads well inside a
// drive list or a sentence: a line break inside becomes a space.
std::string cleanMessage(const std::string& message)
{
    std::string text = message.substr(0, kMessageLength);
    for (char& c : text) {
        if (isControl(c))
            c = ' ';
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

} // namespace

DriveType driveTypeOf(Drives& drives, char letter)
{
    return drives.driveType(lowerLetter(letter));
}

bool mediumMissing(Drives& drives, char letter)
{
    const Result<std::string> label = drives.volumeLabel(lowerLetter(letter));
    return !label && label.error().code == errors::kNotReady;
}

std::string volumeLabel(Drives& drives, char letter)
{
    const Result<std::string> label = drives.volumeLabel(lowerLetter(letter));
    if (label)
        return label.value();
    return "Error " + std::to_string(label.error().code) + " " +
           cleanMessage(label.error().message);
}

std::string fileSystemName(Drives& drives, char letter)
{
    return drives.fileSystemName(lowerLetter(letter));
}

std::string driveListText(Drives& drives, char letter)
{
    const char lower = lowerLetter(letter);
    std::string text = std::string(1, lower) + ":";
    // Removable drives show the letter alone, whatever medium is in them; every other drive
    // shows its label, which also keeps the records of two network media apart.
    if (driveTypeOf(drives, lower) == DriveType::Removable)
        return text;
    if (const Result<std::string> label = drives.volumeLabel(lower);
        label && !label.value().empty())
        text += " [" + lowerCase(label.value()) + "]";
    return text;
}

} // namespace kx
