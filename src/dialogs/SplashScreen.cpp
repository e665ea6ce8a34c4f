#include "dialogs/SplashScreen.h"

#include "dialogs/SplashForm.h"

namespace kx {

bool TSplashScreen::Wanted(const QString& programPath)
{
    return programPath.size() < 64 && !programPath.contains(QLatin1String(".DCL"));
}

TSplashForm* TSplashScreen::ShowAtStart(const QString& languageCode, const QString& programPath)
{
    if (!Wanted(programPath))
        return nullptr;
    auto* splash = new TSplashForm(languageCode);
    splash->ShowSplash();
    return splash;
}

} // namespace kx
