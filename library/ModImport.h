#pragma once

#include "ModLibraryRoots.h"

#include <filesystem>

class ModCatalogue;

// Copies every mod found under `source` into the category folder, adding only
// what is missing. Throws std::filesystem::filesystem_error on the first
// file-system error; what was copied before it stays.
void importMods(const ModCatalogue &catalogue, const std::filesystem::path &source,
                ModCategory category);
