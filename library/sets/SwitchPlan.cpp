#include "library/sets/SwitchPlan.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

using PathString = std::filesystem::path::string_type;

bool isSeparator(std::filesystem::path::value_type c)
{
    return c == '/' || c == std::filesystem::path::preferred_separator;
}

// Where toggleMove would move the record's entry file, made from the path's
// text in one piece: joining and splitting paths part by part was most of the
// cost of a plan.
std::filesystem::path otherPlace(const ModRecord &record)
{
    static const PathString storage = std::filesystem::path(kStorageFolderName).native();
    const PathString &text = record.entryPath.native();
    std::size_t name = text.size();
    while (name > 0 && !isSeparator(text[name - 1]))
        --name;
    if (name == 0)
        return toggleMove(record.entryPath).to;
    const std::size_t folderEnd = name - 1;
    std::size_t folderStart = folderEnd;
    while (folderStart > 0 && !isSeparator(text[folderStart - 1]))
        --folderStart;
    PathString other;
    if (text.compare(folderStart, folderEnd - folderStart, storage) == 0 && folderStart > 0) {
        other.reserve(text.size());
        other.append(text, 0, folderStart);
        other.append(text, name, PathString::npos);
    } else {
        other.reserve(text.size() + storage.size() + 1);
        other.append(text, 0, name);
        other += storage;
        other += std::filesystem::path::preferred_separator;
        other.append(text, name, PathString::npos);
    }
    return std::filesystem::path(std::move(other));
}

// The mods on disk, indexed by category and folder and by self ID. The keys
// view the records' own strings: planning allocates little per mod.
struct DiskIndex
{
    std::vector<std::reference_wrapper<ModRecord>> records;
    std::vector<ModCategory> category;
    std::vector<std::string> folder;
    std::array<std::unordered_map<std::string_view, std::size_t>, 2> byFolder;
    std::unordered_map<std::string_view, std::size_t> firstBySelfId;
    std::vector<std::size_t> nextWithSelfId; // the next record of the same self ID, or kNone

    explicit DiskIndex(const ModCatalogue &catalogue) : records(catalogue.records())
    {
        const std::size_t count = records.size();
        category.reserve(count);
        folder.reserve(count);
        nextWithSelfId.assign(count, kNone);
        for (auto &map : byFolder)
            map.reserve(count);
        firstBySelfId.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const ModRecord &record = records[i];
            category.push_back(categoryOf(catalogue, record));
            folder.push_back(folderNameOf(record));
        }
        // Backwards, so that each chain runs in catalogue order.
        for (std::size_t i = count; i-- > 0;) {
            byFolder[static_cast<int>(category[i])][folder[i]] = i;
            const auto [found, added] = firstBySelfId.try_emplace(records[i].get().self_ID, i);
            if (!added) {
                nextWithSelfId[i] = found->second;
                found->second = i;
            }
        }
    }

    std::size_t findFolder(ModCategory inCategory, const std::string &name) const
    {
        const auto &map = byFolder[static_cast<int>(inCategory)];
        const auto found = map.find(name);
        return found == map.end() ? kNone : found->second;
    }

    std::vector<std::size_t> withSelfId(const std::string &selfId) const
    {
        std::vector<std::size_t> result;
        if (selfId.empty())
            return result;
        const auto found = firstBySelfId.find(selfId);
        for (std::size_t i = found == firstBySelfId.end() ? kNone : found->second; i != kNone;
             i = nextWithSelfId[i])
            result.push_back(i);
        return result;
    }

    bool isShared(const std::string &selfId) const
    {
        if (selfId.empty())
            return false;
        const auto found = firstBySelfId.find(selfId);
        return found != firstBySelfId.end() && nextWithSelfId[found->second] != kNone;
    }

    PlannedSwitch planned(std::size_t i) const
    {
        const ModRecord &record = records[i];
        return {category[i], folder[i], record.self_ID, record.displayName, record.version,
                {record.entryPath, otherPlace(record)}, i};
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
        std::size_t found = disk.findFolder(member.category, member.folder);
        // Most self IDs are declared once: the list is made only when needed.
        const bool shared = disk.isShared(member.selfId);
        const std::vector<std::size_t> sameSelfId =
            found == kNone || shared ? disk.withSelfId(member.selfId) : std::vector<std::size_t>();
        if (found == kNone && !sameSelfId.empty()) {
            std::vector<std::size_t> free;
            for (const std::size_t i : sameSelfId)
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
            for (const std::size_t i : sameSelfId)
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
