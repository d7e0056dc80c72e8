#include "library/viewchoice/SortChoice.h"

#include "library/platform/DataFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace fs = std::filesystem;

TEST(SortChoice, HeadingClicksSortThenReverse)
{
    SortChoice choice;
    choice = afterHeadingClick(choice, SortColumn::Name);
    EXPECT_EQ(choice, (SortChoice{SortColumn::Name, false}));
    choice = afterHeadingClick(choice, SortColumn::Name);
    EXPECT_EQ(choice, (SortChoice{SortColumn::Name, true}));
    choice = afterHeadingClick(choice, SortColumn::Version);
    EXPECT_EQ(choice, (SortChoice{SortColumn::Version, false}));
}

TEST(SortChoice, IsKeptInItsOwnFile)
{
    TempDir dir;
    const fs::path file = dir / "list-order";
    EXPECT_EQ(readSortChoice(file), SortChoice{});
    for (const SortColumn column : {SortColumn::SelfId, SortColumn::Name, SortColumn::Developer,
                                    SortColumn::Version, SortColumn::State, SortColumn::Catalogue})
        for (const bool descending : {false, true}) {
            saveSortChoice(file, {column, descending});
            EXPECT_EQ(readSortChoice(file), (SortChoice{column, descending}));
        }
}

TEST(SortChoice, DamagedFileIsRefused)
{
    TempDir dir;
    const fs::path file = dir / "list-order";
    for (const std::string &damaged :
         {std::string(""), std::string("tessel3 list order 1\n"),
          std::string("tessel3 list order 1\nname sideways\n"),
          std::string("tessel3 list order 1\ncolour ascending\n"),
          std::string("tessel3 list order 9\nname ascending\n"),
          std::string("tessel3 list order 1\nname ascending\nmore\n")}) {
        writeFile(file, damaged);
        EXPECT_THROW(readSortChoice(file), DataFileError) << damaged;
    }
    writeFile(file, "tessel3 list order 1\r\nstate descending\r\n");
    EXPECT_EQ(readSortChoice(file), (SortChoice{SortColumn::State, true}));
}
