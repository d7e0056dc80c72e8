// Runs one settings operation in the given working folder, so that tests can
// run it as another user or kill it half-way.
//   settings_child --probe
//   settings_child FOLDER read-language | read-directory
//   settings_child FOLDER save-language EN|CN|RU | save-directory PATH
//   settings_child FOLDER save-loop        (alternates EN and RU until killed)

#include "settings/SettingsFile.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

UiLanguage languageFromCode(const std::string &code)
{
    if (code == "CN")
        return UiLanguage::Chinese;
    if (code == "RU")
        return UiLanguage::Russian;
    return UiLanguage::English;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::string(argv[1]) == "--probe")
        return 0;
    if (argc < 3)
        return 2;
    std::error_code error;
    std::filesystem::current_path(argv[1], error);
    if (error)
        return 3;
    const std::string command = argv[2];
    const std::string argument = argc > 3 ? argv[3] : "";
    if (command == "read-language") {
        std::fputs(readLanguageSetting().c_str(), stdout);
    } else if (command == "read-directory") {
        std::fputs(readDirectorySetting().string().c_str(), stdout);
    } else if (command == "save-language") {
        saveLanguage(languageFromCode(argument));
    } else if (command == "save-directory") {
        saveDirectory(argument);
    } else if (command == "save-loop") {
        for (bool russian = true;; russian = !russian)
            saveLanguage(russian ? UiLanguage::Russian : UiLanguage::English);
    } else {
        return 2;
    }
    return 0;
}
