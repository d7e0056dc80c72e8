#pragma once

#include <filesystem>
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
