#pragma once

#include "settings/UiLanguage.h"

// The interface language shared by every window; English until start-up reads
// the saved one.
extern UiLanguage currentLanguage;
