#include "ui/texts/CurrentLanguage.h"

UiLanguage currentLanguage = UiLanguage::English;
