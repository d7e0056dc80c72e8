// Runs Disable All over the mods folder FOLDER/mods with the journal in
// FOLDER/data, so that a test can kill it half-way.
//   journal_child FOLDER

#include "library/catalogue/ModCatalogue.h"
#include "library/history/RecordedSwitching.h"
#include "library/history/SwitchJournal.h"

#include <filesystem>
#include <system_error>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    std::error_code error;
    std::filesystem::current_path(argv[1], error);
    if (error)
        return 3;
    loadCatalogue("mods");
    SwitchJournal journal(SwitchJournal::defaultFile());
    journal.open();
    recordedSwitchAll(*sharedCatalogue, false, journal);
    return journal.keeping() ? 0 : 4;
}
