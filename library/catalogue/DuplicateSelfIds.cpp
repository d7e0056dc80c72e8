#include "library/catalogue/DuplicateSelfIds.h"

#include <string_view>
#include <unordered_map>

DuplicateSelfIds::DuplicateSelfIds(const std::vector<std::reference_wrapper<ModRecord>> &records)
    : m_groupOf(records.size(), kNoGroup)
{
    // The first record of each id, until a second one turns it into a group.
    std::unordered_map<std::string_view, std::size_t> firstWithId;
    firstWithId.reserve(records.size());
    for (std::size_t index = 0; index < records.size(); ++index) {
        const std::string &id = records[index].get().self_ID;
        if (id.empty())
            continue;
        const auto [found, isNew] = firstWithId.try_emplace(id, index);
        if (isNew)
            continue;
        const std::size_t first = found->second;
        if (m_groupOf[first] == kNoGroup) {
            m_groupOf[first] = m_groups.size();
            m_groups.push_back({first});
            ++m_duplicateCount;
        }
        m_groupOf[index] = m_groupOf[first];
        m_groups[m_groupOf[first]].push_back(index);
        ++m_duplicateCount;
    }
}

bool DuplicateSelfIds::isDuplicate(std::size_t index) const
{
    return index < m_groupOf.size() && m_groupOf[index] != kNoGroup;
}

std::vector<std::size_t> DuplicateSelfIds::othersOf(std::size_t index) const
{
    std::vector<std::size_t> others;
    if (!isDuplicate(index))
        return others;
    for (const std::size_t member : m_groups[m_groupOf[index]])
        if (member != index)
            others.push_back(member);
    return others;
}

std::size_t DuplicateSelfIds::duplicateCount() const
{
    return m_duplicateCount;
}
