#pragma once

#include "library/catalogue/ModLibraryRoots.h"
#include "library/sets/ModSet.h"
#include "library/switching/EntryMoveBatch.h"

#include <cstddef>
#include <string>
#include <vector>

class ModCatalogue;

// What happens to the mods on disk that a set does not name.
enum class OutsideSet
{
    SwitchOff, // what a server's set means: only its mods run
    Leave,
};

// One mod on disk that applying the set switches, and the move that does it.
struct PlannedSwitch
{
    ModCategory category = ModCategory::Aircraft;
    std::string folder;
    std::string selfId;
    std::string name;
    std::string version;
    EntryMove move;
    // The catalogue record it was planned from; applying checks it against the
    // record's path before trusting it, and looks the path up otherwise.
    std::size_t record = static_cast<std::size_t>(-1);
};

// A member found on disk in another version than the set names.
struct OtherVersion
{
    ModSetMember member;
    std::string folder;      // where it was found
    std::string diskVersion; // what that mod declares
};

// A member whose self ID more than one mod on disk declares. When one of them
// is in the member's folder, that one was taken (`chosenFolder`); otherwise
// none was, and the candidates are left as they are.
struct AmbiguousMember
{
    ModSetMember member;
    std::vector<std::string> candidateFolders;
    std::string chosenFolder; // empty when none was taken
};

// What applying a set would do, and what it cannot.
struct SwitchPlan
{
    std::string setName;
    OutsideSet outside = OutsideSet::SwitchOff;
    std::vector<PlannedSwitch> switchOn;
    std::vector<PlannedSwitch> switchOff;
    std::vector<ModSetMember> missing; // wanted on, not on disk
    std::vector<OtherVersion> otherVersion;
    std::vector<AmbiguousMember> ambiguous;
    std::vector<ModSetMember> namedTwice; // later members naming a mod already taken

    // True when applying moves nothing.
    bool changesNothing() const;
    // Every move, the ones that switch off first.
    std::vector<EntryMove> moves() const;
};

// A member is found by category and folder first, then by self ID; mods that
// the set does not name are switched off or left as `outside` says.
SwitchPlan planSwitch(const ModCatalogue &catalogue, const ModSet &set,
                      OutsideSet outside = OutsideSet::SwitchOff);
