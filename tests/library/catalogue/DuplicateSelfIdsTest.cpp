#include "library/catalogue/DuplicateSelfIds.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<ModRecord> withIds(const std::vector<std::string> &ids)
{
    std::vector<ModRecord> records(ids.size());
    for (std::size_t index = 0; index < ids.size(); ++index)
        records[index].self_ID = ids[index];
    return records;
}

} // namespace

// Three of one id, two of another, two without any, ids that differ only in case.
TEST(DuplicateSelfIdsTest, NamesEveryOtherRecordOfTheSameNonEmptyId)
{
    std::vector<ModRecord> records =
        withIds({"su-27", "", "Su-27", "su-27", "f-15", "", "f-15", "su-27"});
    const DuplicateSelfIds duplicates({records.begin(), records.end()});

    EXPECT_EQ(duplicates.othersOf(0), (std::vector<std::size_t>{3, 7}));
    EXPECT_EQ(duplicates.othersOf(3), (std::vector<std::size_t>{0, 7}));
    EXPECT_EQ(duplicates.othersOf(7), (std::vector<std::size_t>{0, 3}));
    EXPECT_EQ(duplicates.othersOf(4), (std::vector<std::size_t>{6}));
    for (const std::size_t single : {1, 2, 5}) {
        EXPECT_FALSE(duplicates.isDuplicate(single)) << single;
        EXPECT_TRUE(duplicates.othersOf(single).empty()) << single;
    }
    EXPECT_FALSE(duplicates.isDuplicate(records.size()));
    EXPECT_EQ(duplicates.duplicateCount(), 5u);
}
