#pragma once

#include "ui/texts/CurrentLanguage.h"

// Sets currentLanguage from the settings file: "CN", "EN" or "RU" exactly;
// any other non-empty value gives English, an empty one changes nothing.
void loadLanguageSetting();
