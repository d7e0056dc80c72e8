#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

enum class ModCategory : int
{
    Aircraft = 0,
    Tech = 1,
};

// The two category folders of a mods directory and what the last scan found.
struct ModLibraryRoots
{
    std::filesystem::path aircraftPath;
    std::filesystem::path techPath;
    std::vector<std::filesystem::path> aircraftEntries;
    std::vector<std::filesystem::path> techEntries;
};

// Entry-file paths of one category, in listing order. Throws
// std::filesystem::filesystem_error when the file system fails.
std::vector<std::filesystem::path> scanCategory(const ModLibraryRoots &roots, ModCategory category);

// The same, handing over the bytes of the entry files that the scan opened on
// its way: their index and path in the result, the bytes (valid during the
// call) and whether they were read to the end. The others are not read.
std::vector<std::filesystem::path>
scanCategory(const ModLibraryRoots &roots, ModCategory category,
             const std::function<void(std::size_t index, const std::filesystem::path &entry,
                                      std::string_view bytes, bool complete)> &onRead);
