#include "CurrentLanguage.h"

UiLanguage currentLanguage = UiLanguage::English;
