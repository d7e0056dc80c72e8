#pragma once

#include "settings/UiLanguage.h"

#include <filesystem>
#include <string>
#include <system_error>

// The settings file kSettingsFilePath, resolved against the working directory
// at every call. The file is never created: when it is missing, reading gives
// empty values and writing does nothing.

// The value of the first Language assignment; empty when there is none.
std::string readLanguageSetting();
// The value of the first DIRECTORY assignment; empty when there is none.
std::filesystem::path readDirectorySetting();

// A write that fails leaves the file as it was and sets `failure` (when given)
// to the reason; a missing file or folder is no failure.
void saveLanguage(UiLanguage language, std::error_code *failure = nullptr);
void saveDirectory(std::filesystem::path directory, std::error_code *failure = nullptr);
