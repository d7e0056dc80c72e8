#pragma once

#include <filesystem>

class ModCatalogue;
struct ModRecord;

// Enabling moves a mod's entry file up out of its storage folder, disabling
// moves it down into it; the record is refreshed after every successful move.
// A failed move prints one diagnostic line and leaves the record unchanged; a
// storage folder that cannot be checked or created throws
// std::filesystem::filesystem_error ("exists", "create_directories").
void installMod(ModCatalogue &catalogue, ModRecord &record);
void uninstallMod(ModCatalogue &catalogue, ModRecord &record);
void installAll(ModCatalogue &catalogue);
void uninstallAll(ModCatalogue &catalogue);
bool moveEntryIntoStorage(ModCatalogue &catalogue, std::filesystem::path entryPath);

// Moves a file without ever replacing an existing destination. On failure
// writes "failed with error code: <code>" to standard output and returns false.
bool moveFile(std::filesystem::path source, std::filesystem::path destination);
