// The journal of switches: undo and redo across restarts, refused and skipped
// moves, damaged, foreign and unwritable journals, trimming.

#include "library/history/SwitchJournal.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/history/RecordedSwitching.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class SwitchJournalTest : public testing::Test
{
protected:
    SwitchJournalTest()
    {
        fs::create_directories(m_temp / "data");
        fs::create_directories(m_temp / "mods" / "tech");
        for (int i = 0; i < kMods; ++i)
            writeFile(installed(i), "self_ID = \"m" + std::to_string(i) + "\"\n");
        loadAgain();
    }

    static constexpr int kMods = 6;

    fs::path folder(int i) const { return m_temp / "mods" / "aircraft" / ("M" + std::to_string(i)); }
    fs::path installed(int i) const { return folder(i) / kEntryFileName; }
    fs::path stored(int i) const { return folder(i) / kStorageFolderName / kEntryFileName; }

    int enabledCount() const
    {
        int count = 0;
        for (int i = 0; i < kMods; ++i)
            count += fs::exists(installed(i)) ? 1 : 0;
        return count;
    }

    ModRecord &record(int i) const
    {
        for (ModRecord &candidate : catalogue->records())
            if (candidate.self_ID == "m" + std::to_string(i))
                return candidate;
        throw std::runtime_error("no such mod");
    }

    // A restart: the catalogue and the journal read afresh.
    void loadAgain()
    {
        ModLibraryRoots roots;
        roots.aircraftPath = m_temp / "mods" / "aircraft";
        roots.techPath = m_temp / "mods" / "tech";
        catalogue = std::make_unique<ModCatalogue>(roots);
        catalogue->reload();
        journal = std::make_unique<SwitchJournal>(SwitchJournal::defaultFile());
        journal->open();
    }

    TempDir m_temp;
    WorkingDirectoryScope m_scope{m_temp.path()};
    std::unique_ptr<ModCatalogue> catalogue;
    std::unique_ptr<SwitchJournal> journal;
};

TEST_F(SwitchJournalTest, UndoAndRedoWorkAcrossRestarts)
{
    std::size_t switched = 0;
    EXPECT_TRUE(recordedSwitchAll(*catalogue, false, *journal, &switched).empty());
    EXPECT_EQ(switched, std::size_t(kMods));
    EXPECT_FALSE(recordedToggle(*catalogue, record(0), *journal));
    EXPECT_EQ(enabledCount(), 1);

    loadAgain();
    ASSERT_NE(journal->nextUndo(), nullptr);
    EXPECT_EQ(journal->nextUndo()->action, JournalAction::Install);
    EXPECT_EQ(journal->nextUndo()->name, "m0");
    EXPECT_EQ(undoLast(*catalogue, *journal).moved, 1U);
    EXPECT_EQ(enabledCount(), 0);
    ASSERT_NE(journal->nextUndo(), nullptr);
    EXPECT_EQ(journal->nextUndo()->action, JournalAction::DisableAll);
    EXPECT_EQ(journal->nextUndo()->madeCount(), std::size_t(kMods));

    loadAgain();
    const RecordedRun undone = undoLast(*catalogue, *journal);
    EXPECT_EQ(undone.moved, std::size_t(kMods));
    EXPECT_TRUE(undone.skipped.empty());
    EXPECT_EQ(enabledCount(), kMods);
    for (const ModRecord &record : catalogue->records())
        EXPECT_TRUE(record.installState) << record.self_ID;
    EXPECT_EQ(journal->nextUndo(), nullptr);

    loadAgain();
    ASSERT_NE(journal->nextRedo(), nullptr);
    EXPECT_EQ(journal->origin(*journal->nextRedo()).action, JournalAction::DisableAll);
    EXPECT_EQ(redoLast(*catalogue, *journal).moved, std::size_t(kMods));
    EXPECT_EQ(enabledCount(), 0);
    ASSERT_NE(journal->nextUndo(), nullptr);
    EXPECT_EQ(journal->origin(*journal->nextUndo()).action, JournalAction::DisableAll);
    EXPECT_EQ(journal->nextRedo()->action, JournalAction::Undo); // the undo of Install m0

    // A new switch ends the line of redos.
    EXPECT_FALSE(recordedToggle(*catalogue, record(5), *journal));
    EXPECT_EQ(journal->nextRedo(), nullptr);
}

// A catalogue read from a folder given relative to the working directory:
// the journal holds whole paths, the records keep their own form.
TEST_F(SwitchJournalTest, RelativeCatalogueIsRecordedWholeAndKeepsItsPaths)
{
    ModLibraryRoots roots;
    roots.aircraftPath = fs::path("mods") / "aircraft";
    roots.techPath = fs::path("mods") / "tech";
    catalogue = std::make_unique<ModCatalogue>(roots);
    catalogue->reload();

    EXPECT_TRUE(recordedSwitchAll(*catalogue, false, *journal).empty());
    EXPECT_EQ(enabledCount(), 0);
    for (const ModRecord &record : catalogue->records()) {
        EXPECT_TRUE(record.entryPath.is_relative()) << record.entryPath;
        EXPECT_FALSE(record.installState) << record.self_ID;
        EXPECT_TRUE(fs::exists(record.entryPath)) << record.entryPath;
    }
    ASSERT_NE(journal->nextUndo(), nullptr);
    for (const EntryMove &move : journal->nextUndo()->moves())
        EXPECT_TRUE(move.from.is_absolute() && move.to.is_absolute()) << move.from;

    EXPECT_EQ(undoLast(*catalogue, *journal).moved, std::size_t(kMods));
    EXPECT_EQ(enabledCount(), kMods);
    for (const ModRecord &record : catalogue->records())
        EXPECT_TRUE(record.installState) << record.self_ID;
}

TEST_F(SwitchJournalTest, RefusedMovesAreRecordedAndOnlyMadeOnesUndone)
{
    writeFile(stored(2), "already stored\n"); // the move down is refused
    testing::internal::CaptureStdout();
    const auto refused = recordedSwitchAll(*catalogue, false, *journal);
    ASSERT_EQ(refused.size(), 1U);
    loadAgain();
    const JournalBatch *batch = journal->nextUndo();
    ASSERT_NE(batch, nullptr);
    EXPECT_EQ(batch->moves().size(), std::size_t(kMods));
    EXPECT_EQ(batch->madeCount(), std::size_t(kMods - 1));
    for (std::size_t i = 0; i < batch->moves().size(); ++i)
        EXPECT_EQ(bool(batch->made[i]), modFolderOf(batch->moves()[i].from) != folder(2));

    EXPECT_EQ(undoLast(*catalogue, *journal).moved, std::size_t(kMods - 1));
    EXPECT_EQ(enabledCount(), kMods);
    EXPECT_EQ(readFile(stored(2)), "already stored\n");
    testing::internal::GetCapturedStdout();
}

TEST_F(SwitchJournalTest, UndoSkipsModsChangedByHandAndOverwritesNothing)
{
    testing::internal::CaptureStdout();
    recordedSwitchAll(*catalogue, false, *journal);
    fs::rename(folder(1), folder(1).string() + " renamed");
    writeFile(installed(3), "made by hand\n");

    const RecordedRun undone = undoLast(*catalogue, *journal);
    ASSERT_EQ(undone.skipped.size(), 2U);
    const std::set<fs::path> skipped{modFolderOf(undone.skipped[0].to),
                                     modFolderOf(undone.skipped[1].to)};
    EXPECT_EQ(skipped, (std::set<fs::path>{folder(1), folder(3)}));
    EXPECT_EQ(undone.moved, std::size_t(kMods - 2));
    EXPECT_EQ(readFile(installed(3)), "made by hand\n");
    EXPECT_TRUE(fs::exists(stored(3)));
    EXPECT_TRUE(fs::exists(fs::path(folder(1).string() + " renamed") / kStorageFolderName /
                           kEntryFileName));
    testing::internal::GetCapturedStdout();
}

TEST_F(SwitchJournalTest, RestorePlanLeadsBackToTheStateBeforeABatch)
{
    recordedToggle(*catalogue, record(0), *journal); // m0 off
    const std::uint64_t disableAll = journal->batches().size() + 1;
    recordedSwitchAll(*catalogue, false, *journal);
    recordedToggle(*catalogue, record(4), *journal); // m4 on again
    recordedToggle(*catalogue, record(5), *journal); // m5 on again

    std::vector<EntryMove> skipped;
    const std::vector<EntryMove> plan = restorePlan(*journal, disableAll, &skipped);
    EXPECT_TRUE(skipped.empty());
    ASSERT_EQ(plan.size(), 3U); // m1, m2 and m3; m0 was off before, m4 and m5 are on
    const RecordedRun run =
        runRecordedMoves(*catalogue, *journal, JournalAction::Restore, {}, disableAll, plan);
    EXPECT_TRUE(run.outcome.complete);
    EXPECT_EQ(enabledCount(), kMods - 1);
    EXPECT_FALSE(fs::exists(installed(0)));
    EXPECT_EQ(undoLast(*catalogue, *journal).moved, 3U);
}

TEST_F(SwitchJournalTest, AppliedSetIsRecordedWithItsNameAndUndone)
{
    SwitchPlan plan;
    plan.setName = "Friday";
    for (const int i : {1, 3}) {
        PlannedSwitch off;
        off.move = toggleMove(record(i).entryPath);
        plan.switchOff.push_back(off);
    }
    EXPECT_TRUE(recordedApplySwitch(*catalogue, plan, *journal).complete);
    EXPECT_EQ(enabledCount(), kMods - 2);
    loadAgain();
    ASSERT_NE(journal->nextUndo(), nullptr);
    EXPECT_EQ(journal->nextUndo()->action, JournalAction::ApplySet);
    EXPECT_EQ(journal->nextUndo()->name, "Friday");
    EXPECT_EQ(undoLast(*catalogue, *journal).moved, 2U);
    EXPECT_EQ(enabledCount(), kMods);
}

TEST_F(SwitchJournalTest, DamagedLastLineIsLeftOutAndReportedOnce)
{
    recordedSwitchAll(*catalogue, false, *journal);
    recordedToggle(*catalogue, record(0), *journal);
    const std::string whole = readFile(SwitchJournal::defaultFile());
    const std::size_t lastLine = whole.rfind('\n', whole.size() - 2) + 1;

    struct Case
    {
        const char *what;
        std::string text;
        std::size_t batches;
        bool interrupted;
    };
    // A kill inside the outcome leaves the intent: the batch is settled from the disk.
    const std::size_t intentOfToggle = whole.rfind('\n', lastLine - 2) + 1;
    const std::vector<Case> cases{
        {"outcome cut", whole.substr(0, lastLine + 7), 2, true},
        {"intent cut", whole.substr(0, intentOfToggle + 20), 1, false},
        {"garbage", whole + "\x01\xff{not json", 2, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(SwitchJournal::defaultFile(), c.text);
        journal->open();
        std::size_t damaged = 0;
        EXPECT_EQ(journal->takeProblem(nullptr, &damaged), JournalProblem::DamagedLines);
        EXPECT_EQ(damaged, 1U);
        EXPECT_EQ(journal->takeProblem(), JournalProblem::None);
        ASSERT_EQ(journal->batches().size(), c.batches);
        EXPECT_EQ(journal->batches().back().interrupted, c.interrupted);
        if (c.interrupted) {
            EXPECT_TRUE(journal->batches().back().made[0]); // m0 is on: the move was made
        }
        journal->open();
        EXPECT_EQ(journal->takeProblem(), JournalProblem::None);
        EXPECT_EQ(journal->batches().size(), c.batches);
        EXPECT_TRUE(journal->keeping());
    }
}

TEST_F(SwitchJournalTest, ForeignOrUnreadableJournalIsLeftAloneAndSwitchingGoesOn)
{
    const fs::path file = SwitchJournal::defaultFile();
    struct Case
    {
        const char *what;
        std::string text; // empty: a folder stands there
        JournalProblem problem;
    };
    const std::vector<Case> cases{
        {"someone's notes", "shopping list\nmilk\n", JournalProblem::NotOurs},
        {"newer version", "{\"journal\":\"tessel3 switches\",\"version\":99}\n",
         JournalProblem::NotOurs},
        {"a folder", "", JournalProblem::CannotRead},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(file);
        if (c.text.empty())
            fs::create_directory(file);
        else
            writeFile(file, c.text);
        journal->open();
        EXPECT_EQ(journal->takeProblem(), c.problem);
        EXPECT_FALSE(journal->keeping());
        recordedSwitchAll(*catalogue, false, *journal);
        EXPECT_EQ(enabledCount(), 0);
        // Undo still works for the rest of the run.
        EXPECT_EQ(undoLast(*catalogue, *journal).moved, std::size_t(kMods));
        EXPECT_EQ(enabledCount(), kMods);
        if (!c.text.empty())
            EXPECT_EQ(readFile(file), c.text);
        else
            EXPECT_TRUE(fs::is_directory(file));
    }
}

#ifndef _WIN32
TEST_F(SwitchJournalTest, ReadOnlyDataFolderKeepsNoHistoryButSwitches)
{
    const fs::path data = m_temp / "data";
    const auto result = runUnprivileged(m_temp.path(), [&]() -> int {
        fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec);
        SwitchJournal readOnly(SwitchJournal::defaultFile());
        readOnly.open();
        std::vector<RefusedMove> refused = recordedSwitchAll(*catalogue, false, readOnly);
        if (!refused.empty() || enabledCount() != 0)
            return 1;
        std::error_code reason;
        if (readOnly.takeProblem(&reason) != JournalProblem::CannotWrite || !reason ||
            readOnly.keeping())
            return 2;
        return fs::exists(SwitchJournal::defaultFile()) ? 3 : 0;
    });
    if (!result)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(*result, 0);
}
#endif

TEST_F(SwitchJournalTest, TrimmedToTheNewestBatches)
{
    const std::size_t written = SwitchJournal::kKeptBatches + SwitchJournal::kTrimSlack + 50;
    std::string text = "{\"journal\":\"tessel3 switches\",\"version\":1}\n";
    for (std::size_t id = 1; id <= written; ++id)
        text += "{\"batch\":" + std::to_string(id) +
                ",\"time\":1,\"action\":\"install\",\"name\":\"m\",\"target\":0,\"count\":1,\"root\":\"/m/\","
                "\"moves\":[[\"A/_Z_AzuDavodoz_E_/entry.lua\",\"A/entry.lua\"]]}\n"
                "{\"outcome\":" +
                std::to_string(id) + ",\"refused\":[]}\n";
    writeFile(SwitchJournal::defaultFile(), text);
    journal->open();
    ASSERT_EQ(journal->batches().size(), SwitchJournal::kKeptBatches);
    EXPECT_EQ(journal->batches().front().id, written - SwitchJournal::kKeptBatches + 1);
    EXPECT_EQ(journal->batches().back().moves().front().to, fs::path("/m/A/entry.lua"));
    SwitchJournal again(SwitchJournal::defaultFile());
    again.open();
    EXPECT_EQ(again.batches().size(), SwitchJournal::kKeptBatches);
    EXPECT_EQ(again.takeProblem(), JournalProblem::None);
}

} // namespace
