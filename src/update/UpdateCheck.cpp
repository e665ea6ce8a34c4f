// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/UpdateCheck.h"

#include "engine/Settings.h"
#include "update/HttpClient.h"
#include "update/UpdateText.h"

#include <QScopeGuard>

#include <utility>

namespace kx {

namespace {

// The check hands its results back in short texts.
constexpr std::size_t kShortText = 255;

/** Keeps the hourglass up for one check, also when the check ends in an error. */
class BusyCursor
{
public:
    explicit BusyCursor(UpdateUi& ui) : m_ui(ui) { m_ui.busy(true); }
    ~BusyCursor() { release(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    void release()
    {
        if (m_on)
            m_ui.busy(false);
        m_on = false;
    }

private:
    UpdateUi& m_ui;
    bool m_on = true;
};

} // namespace

UpdateCheck::UpdateCheck(Platform& platform, std::string languageCode)
    : m_platform(platform), m_languageCode(std::move(languageCode)),
      m_language(languageOf(m_languageCode))
{
}

std::string UpdateCheck::server()
{
    auto store = m_platform.openSettings();
    std::string server =
        store->readString(settings::kDefaults, settings::kUpdateServer, std::string());
    return server.empty() ? std::string(kDefaultUpdateServer) : server;
}

void UpdateCheck::cancel()
{
    if (m_client)
        m_client->cancel();
}

int UpdateCheck::getVersionInfo(std::string& name, std::string& version)
{
    std::string body;
    {
        HttpClient client(m_stallTimeOut);
        m_client = &client;
        const auto forget = qScopeGuard([this, &client] {
            m_cancelled = client.cancelled();
            m_client = nullptr;
        });
        try {
            client.get("http://" + server() + "/versions.dat");
        } catch (const NetworkError&) {
            return kNoConnection;
        } catch (const CancelledError&) {
            return kNoConnection;
        }
        body = client.body();
    }

    const VersionVerdict verdict = parseVersionList(body, name, version);
    if (verdict.code == kProgramNotFound)
        m_state.installPending = false;
    if (verdict.sizeInvalid)
        throw VersionListError(verdict.sizeError);
    if (verdict.code == kNoUpdateNeeded || verdict.code == kUpdateAdvised) {
        m_state.expectedSizeKB = verdict.expectedSizeKB;
        name = verdict.downloadName.substr(0, kShortText);
        version = verdict.latestVersionText.substr(0, kShortText);
    }
    return verdict.code;
}

void UpdateCheck::versionLines(UpdateUi& ui, const std::string& versionText,
                               const std::string& latest, const std::string& downloadName)
{
    ui.addLine("");
    ui.addLine(inLanguage(m_language, text::currentVersionIs) + versionText);
    ui.addLine(inLanguage(m_language, text::latestVersionIs) + latest);
    ui.addLine(inLanguage(m_language, text::downloadNameIs) + downloadName);
}

int UpdateCheck::checkForUpdate(UpdateUi& ui, const std::string& programName,
                                const std::string& versionText)
{
    BusyCursor busy(ui);
    std::string name = programName;
    std::string version = versionText;
    int code = 0;
    try {
        code = getVersionInfo(name, version);
    } catch (const VersionListError& e) {
        busy.release();
        ui.error(e.what());
        return -1;
    }
    // Closed by the user, or the program is ending: the window stays shut.
    if (m_cancelled)
        return code;

    ui.showWindow(programName + inLanguage(m_language, text::updateCaptionSuffix));
    ui.clearLines();
    ui.addLine("");
    ui.addLine(updateMessage(code, m_languageCode));
    if (code != kUpdateAdvised) {
        ui.setExitButton(inLanguage(m_language, text::closeWindow));
        ui.showDownloadButton(false);
        ui.showExitButton(true);
        return code;
    }
    versionLines(ui, versionText, version, name);
    ui.setDownloadButton(inLanguage(m_language, text::startDownload));
    ui.showDownloadButton(true);
    ui.setExitButton(inLanguage(m_language, text::downloadLater));
    ui.showExitButton(true);
    m_state.downloadName = name;
    m_state.downloadBaseUrl = "http://" + server() + "/";
    return code;
}

int UpdateCheck::autoCheckForUpdate(UpdateUi& ui, const std::string& programName,
                                    const std::string& versionText)
{
    std::string name = programName;
    std::string version = versionText;
    int code = 0;
    try {
        code = getVersionInfo(name, version);
    } catch (const VersionListError& e) {
        ui.error(e.what());
        return -1;
    }
    ui.clearLines();
    ui.addLine("");
    // Without an advised update the user sees nothing of the check, not even a failed one.
    if (code != kUpdateAdvised)
        return code;
    ui.showWindow(programName + inLanguage(m_language, text::updateCaptionSuffix));
    ui.addLine(updateMessage(code, m_languageCode));
    versionLines(ui, versionText, version, name);
    ui.setDownloadButton(inLanguage(m_language, text::startDownloading));
    ui.setExitButton(inLanguage(m_language, text::downloadLaterAutomatic));
    ui.showDownloadButton(true);
    ui.showExitButton(true);
    m_state.downloadName = name;
    m_state.downloadBaseUrl = "http://" + server() + "/";
    return code;
}

bool loadAutoCheckSetting(Platform& platform)
{
    return platform.openSettings()->readFlag(settings::kDefaults, settings::kCheckForUpdates, true);
}

void storeAutoCheckSetting(Platform& platform, bool on)
{
    auto store = platform.openSettings();
    store->writeFlag(settings::kDefaults, settings::kCheckForUpdates, on);
    store->sync();
}

} // namespace kx
