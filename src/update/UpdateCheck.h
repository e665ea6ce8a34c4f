// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"
#include "support/Language.h"
#include "update/NetworkWait.h"
#include "update/UpdateUi.h"
#include "update/VersionList.h"

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kx {

namespace settings {
/** Section `Defaults`: the maker's web server as host or host:port, for mirrors and tests. */
inline constexpr const char* kUpdateServer = "Update Server";
} // namespace settings

/** The maker's web server when the settings name none. */
inline constexpr const char* kDefaultUpdateServer = "updates.kopierix.invalid";

/** The version list's record could not be read: its size is not a whole number. */
class VersionListError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/** What one check hands to the download and the install, kept for the program's run. */
struct UpdateState
{
    std::string downloadName;    // the installer's name on the server
    std::string downloadBaseUrl; // "http://" + server + "/"
    std::int32_t expectedSizeKB = 0;
    /** A download succeeded; the exit button starts the installer. */
    bool installPending = false;
    /** Where the downloaded installer lies (a native path). */
    std::string installerPath;
};

class HttpClient;

/**
 * The update checks: fetches the version list from the maker's server, judges it, and shows the
 * verdict through an UpdateUi. A fetch that goes without a new byte for the stall time-out
 * counts as no connection (code 1).
 */
class UpdateCheck
{
public:
    UpdateCheck(Platform& platform, std::string languageCode);

    /** The maker's server: the setting "Update Server", else the program's own. */
    std::string server();

    /**
     * Fetches and judges the version list. On entry `name` is the program's name and `version`
     * its version text; with code 0 or 4 they become the download name and the latest version
     * text. Throws VersionListError when the record's size is not a whole number. A
     * cancelled fetch gives code 1.
     */
    int getVersionInfo(std::string& name, std::string& version);

    /** The check the user asked for: the window shows every verdict. Returns the code, or -1
     *  when the record could not be read (shown through `ui.error`). A cancelled check shows
     *  nothing and returns 1. */
    int checkForUpdate(UpdateUi& ui, const std::string& programName,
                       const std::string& versionText);
    /** The check that runs by itself: the window shows only an advised update. */
    int autoCheckForUpdate(UpdateUi& ui, const std::string& programName,
                           const std::string& versionText);

    /** Ends a running fetch (from a handler run while it waits); an exit of the application's
     *  event loops does the same. */
    void cancel();
    void setStallTimeOut(std::chrono::milliseconds stallTimeOut) { m_stallTimeOut = stallTimeOut; }
    std::chrono::milliseconds stallTimeOut() const { return m_stallTimeOut; }

    UpdateState& state() { return m_state; }
    const UpdateState& state() const { return m_state; }
    const std::string& languageCode() const { return m_languageCode; }

private:
    void versionLines(UpdateUi& ui, const std::string& versionText, const std::string& latest,
                      const std::string& downloadName);

    Platform& m_platform;
    std::string m_languageCode;
    Language m_language;
    UpdateState m_state;
    std::chrono::milliseconds m_stallTimeOut = kStallTimeOut;
    HttpClient* m_client = nullptr; // the running fetch
    bool m_cancelled = false;       // the last fetch was cancelled
};

/** The setting "Check for Updates" (default on). */
bool loadAutoCheckSetting(Platform& platform);
void storeAutoCheckSetting(Platform& platform, bool on);

} // namespace kx
