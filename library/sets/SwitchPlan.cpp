#include "library/sets/SwitchPlan.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// Record indices by a text key in one open-addressed table, built once: the
// maps of nodes it replaces spent a quarter of a plan on allocating and freeing.
class IndexTable
{
public:
    void reserve(std::size_t count)
    {
        std::size_t size = 16;
        while (size < 2 * count)
            size *= 2;
        m_slots.assign(size, 0);
    }

    // The slot holding the record that `same` accepts, or the empty slot where
    // it would go.
    template<typename Same>
    std::size_t &slotFor(std::size_t hash, Same same)
    {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask)
            if (m_slots[at] == 0 || same(m_slots[at] - 1))
                return m_slots[at];
    }

    template<typename Same>
    std::size_t find(std::size_t hash, Same same) const
    {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            if (m_slots[at] == 0)
                return kNone;
            if (same(m_slots[at] - 1))
                return m_slots[at] - 1;
        }
    }

private:
    std::vector<std::size_t> m_slots; // a record's index + 1; 0 when empty
};

std::size_t hashText(std::string_view text)
{
    return std::hash<std::string_view>()(text);
}

std::size_t hashFolder(ModCategory category, std::string_view folder)
{
    return hashText(folder) ^ (static_cast<std::size_t>(category) * 0x9e3779b97f4a7c15ULL);
}

// The mods on disk, indexed by category and folder and by self ID. The keys
// are the records' own strings: planning allocates little per mod.
struct DiskIndex
{
    std::vector<std::reference_wrapper<ModRecord>> records;
    std::vector<ModCategory> category;
    std::vector<std::string> folder;
    IndexTable byFolder;
    IndexTable firstBySelfId;
    std::vector<std::size_t> nextWithSelfId; // the next record of the same self ID, or kNone

    explicit DiskIndex(const ModCatalogue &catalogue) : records(catalogue.records())
    {
        const std::size_t count = records.size();
        category.reserve(count);
        folder.reserve(count);
        nextWithSelfId.assign(count, kNone);
        byFolder.reserve(count);
        firstBySelfId.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const ModRecord &record = records[i];
            category.push_back(categoryOf(catalogue, record));
            folder.push_back(folderNameOf(record));
        }
        // Backwards, so that the first record of a folder wins and each chain
        // runs in catalogue order.
        for (std::size_t i = count; i-- > 0;) {
            byFolder.slotFor(hashFolder(category[i], folder[i]), [&](std::size_t other) {
                return category[other] == category[i] && folder[other] == folder[i];
            }) = i + 1;
            const std::string &selfId = records[i].get().self_ID;
            std::size_t &first = firstBySelfId.slotFor(hashText(selfId), [&](std::size_t other) {
                return records[other].get().self_ID == selfId;
            });
            if (first != 0)
                nextWithSelfId[i] = first - 1;
            first = i + 1;
        }
    }

    std::size_t findFolder(ModCategory inCategory, const std::string &name) const
    {
        return byFolder.find(hashFolder(inCategory, name), [&](std::size_t i) {
            return category[i] == inCategory && folder[i] == name;
        });
    }

    std::size_t firstWithSelfId(const std::string &selfId) const
    {
        return firstBySelfId.find(hashText(selfId), [&](std::size_t i) {
            return records[i].get().self_ID == selfId;
        });
    }

    std::vector<std::size_t> withSelfId(const std::string &selfId) const
    {
        std::vector<std::size_t> result;
        if (selfId.empty())
            return result;
        for (std::size_t i = firstWithSelfId(selfId); i != kNone; i = nextWithSelfId[i])
            result.push_back(i);
        return result;
    }

    bool isShared(const std::string &selfId) const
    {
        if (selfId.empty())
            return false;
        const std::size_t first = firstWithSelfId(selfId);
        return first != kNone && nextWithSelfId[first] != kNone;
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
