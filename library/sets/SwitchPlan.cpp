#include "library/sets/SwitchPlan.h"

#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::string folderKey(ModCategory category, const std::string &folder)
{
    std::string key(1, category == ModCategory::Tech ? 't' : 'a');
    key += folder;
    return key;
}

// The mods on disk, indexed by category and folder and by self ID.
struct DiskIndex
{
    std::vector<std::reference_wrapper<ModRecord>> records;
    std::vector<ModCategory> category;
    std::vector<std::string> folder;
    std::unordered_map<std::string, std::size_t> byFolder;
    std::unordered_map<std::string, std::vector<std::size_t>> bySelfId;

    explicit DiskIndex(const ModCatalogue &catalogue) : records(catalogue.records())
    {
        category.reserve(records.size());
        folder.reserve(records.size());
        byFolder.reserve(records.size());
        bySelfId.reserve(records.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            const ModRecord &record = records[i];
            category.push_back(categoryOf(catalogue, record));
            folder.push_back(folderNameOf(record));
            byFolder.emplace(folderKey(category[i], folder[i]), i);
            bySelfId[record.self_ID].push_back(i);
        }
    }

    PlannedSwitch planned(std::size_t i) const
    {
        const ModRecord &record = records[i];
        return {category[i], folder[i], record.self_ID, record.displayName, record.version,
                toggleMove(record.entryPath)};
    }
};

} // namespace

bool SwitchPlan::changesNothing() const
{
    return switchOn.empty() && switchOff.empty();
}

std::vector<EntryMove> SwitchPlan::moves() const
{
    std::vector<EntryMove> result;
    result.reserve(switchOff.size() + switchOn.size());
    for (const PlannedSwitch &planned : switchOff)
        result.push_back(planned.move);
    for (const PlannedSwitch &planned : switchOn)
        result.push_back(planned.move);
    return result;
}

SwitchPlan planSwitch(const ModCatalogue &catalogue, const ModSet &set, OutsideSet outside)
{
    const DiskIndex disk(catalogue);
    SwitchPlan plan;
    plan.setName = set.name;
    plan.outside = outside;
    // 1: named by a member; 2: left alone because its self ID was ambiguous.
    std::vector<char> claimed(disk.records.size(), 0);

    for (const ModSetMember &member : set.members) {
        std::size_t found = kNone;
        const auto byFolder = disk.byFolder.find(folderKey(member.category, member.folder));
        const auto bySelfId =
            member.selfId.empty() ? disk.bySelfId.end() : disk.bySelfId.find(member.selfId);
        const bool shared = bySelfId != disk.bySelfId.end() && bySelfId->second.size() > 1;
        if (byFolder != disk.byFolder.end()) {
            found = byFolder->second;
        } else if (bySelfId != disk.bySelfId.end()) {
            std::vector<std::size_t> free;
            for (const std::size_t i : bySelfId->second)
                if (claimed[i] != 1)
                    free.push_back(i);
            if (free.size() == 1) {
                found = free.front();
            } else if (free.size() > 1) {
                AmbiguousMember note{member, {}, {}};
                for (const std::size_t i : free) {
                    note.candidateFolders.push_back(disk.folder[i]);
                    claimed[i] = 2;
                }
                plan.ambiguous.push_back(std::move(note));
                continue;
            } else {
                plan.namedTwice.push_back(member);
                continue;
            }
        }
        if (found == kNone) {
            if (member.on)
                plan.missing.push_back(member);
            continue;
        }
        if (claimed[found] == 1) {
            plan.namedTwice.push_back(member);
            continue;
        }
        claimed[found] = 1;
        if (shared) {
            AmbiguousMember note{member, {}, disk.folder[found]};
            for (const std::size_t i : bySelfId->second)
                note.candidateFolders.push_back(disk.folder[i]);
            plan.ambiguous.push_back(std::move(note));
        }
        const ModRecord &record = disk.records[found];
        if (record.version != member.version)
            plan.otherVersion.push_back({member, disk.folder[found], record.version});
        if (member.on && !record.installState)
            plan.switchOn.push_back(disk.planned(found));
        else if (!member.on && record.installState)
            plan.switchOff.push_back(disk.planned(found));
    }

    if (outside == OutsideSet::SwitchOff)
        for (std::size_t i = 0; i < disk.records.size(); ++i)
            if (claimed[i] == 0 && disk.records[i].get().installState)
                plan.switchOff.push_back(disk.planned(i));
    return plan;
}
