#include "app/AppState.h"

#include "settings/SettingsFile.h"

#include <string>

void loadLanguageSetting()
{
    const std::string code = readLanguageSetting();
    if (code.empty())
        return;
    if (code == "CN")
        currentLanguage = UiLanguage::Chinese;
    else if (code == "RU")
        currentLanguage = UiLanguage::Russian;
    else
        currentLanguage = UiLanguage::English;
}
