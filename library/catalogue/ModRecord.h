#pragma once

#include <filesystem>
#include <string>

// One mod as last read from its entry file. The text values are the bytes of
// the entry file, neither trimmed nor converted.
struct ModRecord
{
    std::filesystem::path entryPath;
    std::string self_ID;
    std::string displayName;
    std::string shortName;
    std::string developerName;
    std::string version;
    bool installState = false;

    // The mod folder: above the storage folder when the mod is disabled.
    std::filesystem::path modFolder() const;
};

// True when the entry file does not lie in a storage folder. Purely lexical.
bool isInstalled(const std::filesystem::path &entryPath);
