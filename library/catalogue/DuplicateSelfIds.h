#pragma once

#include "library/catalogue/ModRecord.h"

#include <cstddef>
#include <functional>
#include <vector>

// The records that declare a non-empty self_ID which another record declares
// as well: the game keeps only one of them. Found in one pass over the records;
// the indices are positions in the list the pass was given.
class DuplicateSelfIds
{
public:
    DuplicateSelfIds() = default;
    explicit DuplicateSelfIds(const std::vector<std::reference_wrapper<ModRecord>> &records);

    bool isDuplicate(std::size_t index) const;
    // The other records with the same self_ID, in list order; empty for a
    // self_ID of its own.
    std::vector<std::size_t> othersOf(std::size_t index) const;
    std::size_t duplicateCount() const;

private:
    static constexpr std::size_t kNoGroup = static_cast<std::size_t>(-1);

    std::vector<std::size_t> m_groupOf;
    std::vector<std::vector<std::size_t>> m_groups;
    std::size_t m_duplicateCount = 0;
};
