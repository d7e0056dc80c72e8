#pragma once

#include "settings/UiLanguage.h"

// The interface language shared by every window; English until start-up reads
// the saved one.
extern UiLanguage currentLanguage;

// Sets currentLanguage from the settings file: "CN", "EN" or "RU" exactly;
// any other non-empty value gives English, an empty one changes nothing.
void loadLanguageSetting();
