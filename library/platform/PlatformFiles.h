#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

// Finding files, kept apart from the portable code for the calls each
// platform does best.

// Receives each entry file that the quick look-up opened, read whole there and
// then: its index and path in `entries`, its bytes (valid during the call) and
// whether they were read to the end.
using EntryRead = std::function<void(std::size_t index, const std::filesystem::path &entry,
                                     std::string_view bytes, bool complete)>;

// Finds the entry files of one category folder by name, relative to the open
// folder, instead of listing every mod folder: `entryName` directly in each
// candidate, else in its `storageName` sub-folder. Entries in listing order.
// Every candidate that the quick look-up cannot settle with the same answer
// as a listing (a link, an unknown type, an error, a folder that may fold
// letter case) goes to `examine`, which gives that candidate's entry file or
// throws. False, with `entries` untouched, when this platform has no quick
// way for the folder or its listing fails: the caller then walks it itself.
// With `onRead`, entry files are found by opening them, and those that open are
// handed over; the others are read by the caller.
bool quickScanCategory(const std::filesystem::path &category, const char *entryName,
                       const char *storageName,
                       const std::function<std::optional<std::filesystem::path>(
                           const std::filesystem::path &candidate)> &examine,
                       std::vector<std::filesystem::path> &entries, const EntryRead &onRead = {});
