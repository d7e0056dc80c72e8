#pragma once

#include "UiLanguage.h"

#include <filesystem>
#include <string>

// The settings file kSettingsFilePath, resolved against the working directory
// at every call. Nothing is reported to the caller; the file is never created.

// The value of the first Language assignment; empty when there is none.
std::string readLanguageSetting();
// The value of the first DIRECTORY assignment; empty when there is none.
std::filesystem::path readDirectorySetting();
void saveLanguage(UiLanguage language);
void saveDirectory(std::filesystem::path directory);
