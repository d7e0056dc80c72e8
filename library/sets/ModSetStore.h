#pragma once

#include "library/sets/ModSet.h"
#include "library/sets/ModSetError.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// The saved sets: one file each, "<name>.t3set", in a folder of their own
// beside the settings file. A set file and an exported set are the same.
inline constexpr char kModSetFileExtension[] = ".t3set";

// data/sets, resolved against the working directory as the settings file is.
std::filesystem::path modSetsFolder();

// Reads one set file. Throws ModSetError (the detail names the file) for a
// file that is not a set, std::filesystem::filesystem_error when it cannot be
// read.
ModSet readModSetFile(const std::filesystem::path &file);

// Writes the set to `file` through a temporary beside it and one rename, so a
// crash leaves the old file or the new one. Creates the file's folder when it
// is missing. False with `failure` set when the system refused.
bool writeModSetFile(const std::filesystem::path &file, const ModSet &set,
                     std::error_code &failure);

struct StoredModSet
{
    std::filesystem::path file;
    ModSet set;
};

struct UnreadableModSet
{
    std::filesystem::path file;
    ModSetProblem problem = ModSetProblem::NotJson;
    std::error_code reason; // the system's, when the file could not be read
};

struct LoadedModSets
{
    std::vector<StoredModSet> sets; // by name
    std::vector<UnreadableModSet> unreadable;
};

// Every set file in `folder`; a damaged one is listed as unreadable and the
// others still load. A missing folder holds no sets.
LoadedModSets loadModSets(const std::filesystem::path &folder);

// The file a set of this name is saved in: the name with the characters that
// no file name may hold replaced.
std::filesystem::path modSetFileFor(const std::filesystem::path &folder, const std::string &name);
