#pragma once

#include "library/catalogue/ModLibraryRoots.h"

#include <string>
#include <vector>

class ModCatalogue;
struct ModRecord;

// One mod a set names: where it lives, what it declares and whether the set
// wants it on. `name` is the display name, kept so a player who lacks the mod
// knows what to look for.
struct ModSetMember
{
    ModCategory category = ModCategory::Aircraft;
    std::string folder; // the mod folder's name, UTF-8
    std::string selfId;
    std::string name;
    std::string version;
    bool on = true;
};

// A named list of mods and their wanted states.
struct ModSet
{
    std::string name;
    std::vector<ModSetMember> members;
};

// The set of what is on disk now: every mod of the catalogue, on or off.
ModSet currentModSet(const ModCatalogue &catalogue, std::string name);

// The category folder that holds the record's mod folder.
ModCategory categoryOf(const ModCatalogue &catalogue, const ModRecord &record);
// The name of the record's mod folder, UTF-8.
std::string folderNameOf(const ModRecord &record);

// The category's word in set files and codes ("aircraft", "tech").
const char *categoryWord(ModCategory category);
