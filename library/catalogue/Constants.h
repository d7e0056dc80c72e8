#pragma once

#include <filesystem>

// Names shared by the whole program; constant-initialised, so usable from
// static initialisation on.

// The file that marks a mod folder and holds the mod's metadata.
inline constexpr char kEntryFileName[] = "entry.lua";

// The sub-folder of a mod folder that holds the entry file of a disabled mod.
inline constexpr char kStorageFolderName[] = "_Z_AzuDavodoz_E_";

// "data" then "root.lua", joined with the platform's own separator: on Linux a
// backslash would be part of the file name.
inline constexpr std::filesystem::path::value_type kSettingsFilePath[] = {
    'd', 'a', 't', 'a', std::filesystem::path::preferred_separator, 'r', 'o', 'o', 't', '.', 'l', 'u', 'a', 0};
