// Runs one import, for the tests that kill it half-way.
//   import_child MODS SOURCE folder|archive     (paths in UTF-8)

#include "library/import/ModArchive.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/import/ModImport.h"
#include "library/platform/PathText.h"

#include <exception>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    try {
        loadCatalogue(argv[1]);
        const std::filesystem::path source = pathFromUtf8(argv[2]);
        if (std::string(argv[3]) == "archive")
            importArchive(*sharedCatalogue, source, ModCategory::Aircraft);
        else
            importMods(*sharedCatalogue, source, ModCategory::Aircraft);
    } catch (const std::exception &) {
        return 1;
    }
    return 0;
}
