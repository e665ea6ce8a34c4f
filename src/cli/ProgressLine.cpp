// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ProgressLine.h"

#include "cli/CommandLineTexts.h"
#include "support/TextHelpers.h"

#include <algorithm>
#include <string>

namespace kx {

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
// Back to the line's start, and everything after the cursor cleared.
constexpr const char* kClearLine = "\r\033[K";

std::string bytesText(std::int64_t bytes)
{
    static constexpr const char* units[] = {"B", "kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < std::size(units)) {
        value /= 1000.0;
        ++unit;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return buffer;
}

std::string elapsedText(std::chrono::steady_clock::duration elapsed)
{
    const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    char buffer[32];
    if (seconds >= 3600)
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", seconds / 3600,
                      seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld", seconds / 60, seconds % 60);
    return buffer;
}

// The time the rest will take at the pace so far; none before the first byte.
std::string timeLeftText(std::int64_t done, std::int64_t total,
                         std::chrono::steady_clock::duration elapsed)
{
    if (done <= 0)
        return "-:--";
    const double left = static_cast<double>(elapsed.count()) *
                        static_cast<double>(std::max<std::int64_t>(0, total - done)) /
                        static_cast<double>(done);
    return elapsedText(
        std::chrono::steady_clock::duration(static_cast<std::chrono::steady_clock::rep>(left)));
}

} // namespace

void ProgressLine::setBytes(std::int64_t done, std::int64_t total)
{
    if (m_bytesTotal == 0 && total > 0)
        m_copyStart = std::chrono::steady_clock::now();
    m_bytesDone = done;
    m_bytesTotal = total;
}

ProgressLine::ProgressLine(Language language, std::FILE* stream, bool shown)
    : m_language(language), m_stream(stream), m_shown(shown),
      m_start(std::chrono::steady_clock::now())
{
}

void ProgressLine::update(const RunResult& soFar)
{
    if (!m_shown)
        return;
    const auto now = std::chrono::steady_clock::now();
    // The pace holds across erasures too: a run that prints a line for every file copied must
    // not redraw for each of them.
    if (m_everDrawn && now - m_lastDraw < kRedrawEvery)
        return;
    m_everDrawn = true;
    m_lastDraw = now;
    const bool one = soFar.backupFileCount == 1;
    const std::string line =
        kClearLine +
        (m_bytesTotal > 0
             ? fillIn(inLanguage(m_language, one ? cliText::progressLineOneFileOfTotal
                                                 : cliText::progressLineOfTotal),
                      {std::to_string(soFar.backupFileCount), std::to_string(soFar.copiedCount),
                       bytesText(m_bytesDone), bytesText(m_bytesTotal), elapsedText(now - m_start),
                       timeLeftText(m_bytesDone, m_bytesTotal, now - m_copyStart)})
             : fillIn(inLanguage(m_language, one ? *m_one : *m_many),
                      {std::to_string(soFar.backupFileCount), std::to_string(soFar.copiedCount),
                       bytesText(soFar.copiedSize), elapsedText(now - m_start)}));
    std::fwrite(line.data(), 1, line.size(), m_stream);
    std::fflush(m_stream);
    m_drawn = true;
}

void ProgressLine::erase()
{
    if (!m_drawn)
        return;
    std::fputs(kClearLine, m_stream);
    std::fflush(m_stream);
    m_drawn = false;
}

} // namespace kx
