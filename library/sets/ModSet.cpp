#include "library/sets/ModSet.h"

#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"
#include "library/platform/PathText.h"

#include <utility>

ModCategory categoryOf(const ModCatalogue &catalogue, const ModRecord &record)
{
    return record.modFolder().parent_path() == catalogue.roots().techPath ? ModCategory::Tech
                                                                          : ModCategory::Aircraft;
}

std::string folderNameOf(const ModRecord &record)
{
    return utf8FromPath(record.modFolder().filename());
}

const char *categoryWord(ModCategory category)
{
    return category == ModCategory::Tech ? "tech" : "aircraft";
}

ModSet currentModSet(const ModCatalogue &catalogue, std::string name)
{
    ModSet set;
    set.name = std::move(name);
    for (const ModRecord &record : catalogue.records())
        set.members.push_back({categoryOf(catalogue, record), folderNameOf(record), record.self_ID,
                               record.displayName, record.version, record.installState});
    return set;
}
