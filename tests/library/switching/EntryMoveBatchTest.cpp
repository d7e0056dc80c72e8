#include "library/switching/EntryMoveBatch.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Ten mods, the even ones on; the batch switches every one.
struct TenMods
{
    TempDir mods;
    std::vector<EntryMove> moves;

    TenMods()
    {
        for (int i = 0; i < 10; ++i) {
            const fs::path mod = mods / "aircraft" / ("M" + std::to_string(i));
            const fs::path entry = i % 2 == 0 ? mod / "entry.lua" : mod / kStorageFolderName / "entry.lua";
            writeFile(entry, "self_ID = \"m" + std::to_string(i) + "\"\n");
            moves.push_back(toggleMove(entry));
        }
        fs::create_directories(mods / "tech");
    }

    bool allWhereTheyBegan() const
    {
        for (const EntryMove &move : moves)
            if (!fs::exists(move.from) || fs::exists(move.to))
                return false;
        return true;
    }
};

} // namespace

TEST(EntryMoveBatchTest, MakesEveryMoveAndUpdatesTheRecords)
{
    TenMods ten;
    ModLibraryRoots roots;
    roots.aircraftPath = ten.mods / "aircraft";
    roots.techPath = ten.mods / "tech";
    ModCatalogue catalogue(roots);
    catalogue.reload();

    testing::internal::CaptureStdout();
    const EntryMoveOutcome outcome = runEntryMoves(catalogue, ten.moves);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(outcome.complete);
    for (const EntryMove &move : ten.moves)
        EXPECT_TRUE(fs::exists(move.to)) << move.to;
    for (const ModRecord &record : catalogue.records()) {
        const int number = record.self_ID.back() - '0';
        EXPECT_EQ(record.installState, number % 2 == 1) << record.self_ID;
    }
}

// A refusal late in the batch, of each kind a user meets: a file where the
// storage folder belongs, or a file already at the destination.
TEST(EntryMoveBatchTest, ARefusalPutsEveryMadeMoveBack)
{
    for (const bool fileInPlaceOfStorage : {true, false}) {
        TenMods ten;
        if (fileInPlaceOfStorage) {
            fs::remove_all(ten.mods / "aircraft" / "M8" / kStorageFolderName);
            writeFile(ten.mods / "aircraft" / "M8" / kStorageFolderName, "not a folder");
        } else {
            writeFile(ten.moves[8].to, "already here");
        }
        testing::internal::CaptureStdout();
        const EntryMoveOutcome outcome = runEntryMoves(ten.moves);
        testing::internal::GetCapturedStdout();

        EXPECT_FALSE(outcome.complete);
        EXPECT_EQ(outcome.refused.index, 8U);
        EXPECT_TRUE(outcome.refused.reason);
        EXPECT_EQ(outcome.reversed, 8U);
        EXPECT_TRUE(outcome.unchanged());
        const std::vector<EntryMove> untouched(ten.moves.begin(), ten.moves.begin() + 8);
        for (const EntryMove &move : untouched)
            EXPECT_TRUE(fs::exists(move.from) && !fs::exists(move.to)) << move.from;
    }
}
