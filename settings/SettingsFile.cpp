#include "settings/SettingsFile.h"

#include "library/catalogue/Constants.h"
#include "library/platform/FileBytes.h"
#include "library/platform/FileReplace.h"
#include "settings/NarrowPathText.h"
#include "settings/SettingsText.h"

#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The settings file's text with line ends already turned into line feeds;
// nothing when it is missing, is not a regular file (a pipe would block) or
// cannot be read.
std::optional<std::string> readSettingsText()
{
    const fs::path file(kSettingsFilePath);
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return std::nullopt;
    FileBytes bytes;
    if (!bytes.read(file))
        return std::nullopt;
    return textFromFileBytes(bytes.view());
}

std::string readSetting(SettingKey key)
{
    const auto text = readSettingsText();
    return text ? findSettingValue(*text, key) : std::string();
}

void report(std::error_code *failure, std::error_code reason)
{
    if (failure && reason)
        *failure = reason;
}

// Rewrites the key's assignments, or leaves the file alone when it is missing,
// cannot be both read and written, or would not change.
void saveSetting(SettingKey key, std::string_view value, std::error_code *failure)
{
    const fs::path file(kSettingsFilePath);
    std::error_code error;
    const auto original = readFileForUpdate(file, error);
    if (!original) {
        report(failure, error);
        return;
    }
    const std::string updated =
        fileBytesFromText(rewriteSetting(textFromFileBytes(*original), key, value));
    if (updated != *original)
        replaceFileContents(file, updated, failure);
}

const char *languageCode(UiLanguage language)
{
    switch (language) {
    case UiLanguage::Chinese:
        return "CN";
    case UiLanguage::Russian:
        return "RU";
    case UiLanguage::English:
        break;
    }
    return "EN";
}

} // namespace

std::string readLanguageSetting()
{
    return readSetting(SettingKey::Language);
}

fs::path readDirectorySetting()
{
    // Bytes that the narrow encoding cannot turn into a path name read as none.
    return pathFromNarrowText(readSetting(SettingKey::Directory)).value_or(fs::path());
}

void saveLanguage(UiLanguage language, std::error_code *failure)
{
    saveSetting(SettingKey::Language, languageCode(language), failure);
}

void saveDirectory(fs::path directory, std::error_code *failure)
{
    std::error_code error;
    if (!fs::exists(directory, error))
        return;
    // Windows cannot always express a path in the narrow encoding.
    const auto narrow = narrowTextFromPath(directory);
    if (!narrow) {
        report(failure, std::make_error_code(std::errc::illegal_byte_sequence));
        return;
    }
    const std::string &value = *narrow;
    // Any of these would end the quoted value or the line and break the file.
    if (value.find_first_of("\"\r\n") != std::string::npos) {
        report(failure, std::make_error_code(std::errc::invalid_argument));
        return;
    }
    saveSetting(SettingKey::Directory, value, failure);
}
