#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

// Finding files, kept apart from the portable code for the calls each
// platform does best.

// Finds the entry files of one category folder by name, relative to the open
// folder, instead of listing every mod folder: `entryName` directly in each
// candidate, else in its `storageName` sub-folder. Entries in listing order.
// Every candidate that the quick look-up cannot settle with the same answer
// as a listing (a link, an unknown type, an error, a folder that may fold
// letter case) goes to `examine`, which gives that candidate's entry file or
// throws. False, with `entries` untouched, when this platform has no quick
// way for the folder or its listing fails: the caller then walks it itself.
bool quickScanCategory(const std::filesystem::path &category, const char *entryName,
                       const char *storageName,
                       const std::function<std::optional<std::filesystem::path>(
                           const std::filesystem::path &candidate)> &examine,
                       std::vector<std::filesystem::path> &entries);
