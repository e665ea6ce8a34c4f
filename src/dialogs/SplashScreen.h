#pragma once

#include <QString>

namespace kx {

class TSplashForm;

/** Creates and shows the splash window at start. */
class TSplashScreen
{
public:
    /**
     * Whether a start from `programPath` shows the splash: only when the path is shorter than
     * 64 characters and does not contain ".DCL".
     */
    static bool Wanted(const QString& programPath);

    /**
     * Shows the splash when Wanted(programPath) (use QCoreApplication::applicationFilePath())
     * and returns it, or returns null. The window deletes itself when it closes: hold the
     * result in a QPointer if you keep it.
     */
    static TSplashForm* ShowAtStart(const QString& languageCode, const QString& programPath);
};

} // namespace kx
