#pragma once

#include "library/import/ImportProgress.h"
#include "library/catalogue/ModLibraryRoots.h"

#include <filesystem>

class ModCatalogue;

struct ImportOptions
{
    // Told how the import goes and asked between files whether to stop; may be null.
    ImportProgress *progress = nullptr;
    // Hard-links source files instead of copying them where the file system
    // allows: for a source that is thrown away afterwards (an unpacked archive).
    bool linkFiles = false;
    // Sweeps what killed imports left (temporary files, unpacking folders) first.
    bool sweep = true;
};

// Copies every mod found under `source` into the category folder, adding only
// what is missing. Each file appears under its name only whole (written under
// a temporary name, then renamed). Links that lead out of `source`, and
// leftovers of killed imports, are not followed; the first are reported in
// the result, as are folders too deep to walk. Throws std::filesystem::filesystem_error on the first
// file-system error; what was copied before it stays. A cancelled import
// returns with `cancelled` set, keeping every file it completed.
ImportResult importMods(const ModCatalogue &catalogue, const std::filesystem::path &source,
                        ModCategory category, const ImportOptions &options = {});
