// Disable All over 500 mods killed at random instants: afterwards the journal
// says which moves were made, the disk agrees, and undo puts every mod back.

#include "library/history/SwitchJournal.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/history/RecordedSwitching.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <string>
#include <thread>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifndef _WIN32

namespace {

constexpr int kMods = 500;

pid_t startDisableAll(const fs::path &folder)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execl(TESSEL3_JOURNAL_CHILD, TESSEL3_JOURNAL_CHILD, folder.c_str(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    return pid;
}

std::set<fs::path> disabledMods(const fs::path &mods)
{
    std::set<fs::path> disabled;
    for (const auto &mod : fs::directory_iterator(mods / "aircraft"))
        if (fs::exists(mod.path() / kStorageFolderName / kEntryFileName))
            disabled.insert(mod.path());
    return disabled;
}

TEST(JournalKillTest, KilledDisableAllIsRecordedAndUndoneCompletely)
{
    TempDir temp;
    WorkingDirectoryScope scope(temp.path());
    fs::create_directories("data");
    fs::create_directories(temp / "mods" / "tech");
    for (int i = 0; i < kMods; ++i)
        writeFile(temp / "mods" / "aircraft" / ("M" + std::to_string(i)) / kEntryFileName,
                  "self_ID = \"m" + std::to_string(i) + "\"\n");
    ModLibraryRoots roots;
    roots.aircraftPath = temp / "mods" / "aircraft";
    roots.techPath = temp / "mods" / "tech";

    std::mt19937 random(20261208);
    long startMicroseconds = 0; // from the start of the child to its intent
    long movesMicroseconds = 0; // from the intent to the end
    int killedHalfWay = 0;
    constexpr int kRounds = 40;
    const fs::path journalFile = temp / SwitchJournal::defaultFile();
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::error_code error;
        const auto sizeBefore = fs::file_size(journalFile, error);
        const auto started = std::chrono::steady_clock::now();
        const auto since = [](std::chrono::steady_clock::time_point from) {
            return long(std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - from)
                            .count());
        };
        const pid_t child = startDisableAll(temp.path());
        ASSERT_GT(child, 0);
        if (round == 0) {
            // The first round runs to its end and sets the range of the kill instants.
            while (fs::file_size(journalFile, error) == sizeBefore || error)
                std::this_thread::sleep_for(std::chrono::microseconds(20));
            startMicroseconds = since(started);
            const auto intent = std::chrono::steady_clock::now();
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            movesMicroseconds = since(intent);
        } else if (round % 4 == 0) {
            // Now and then anywhere, the start and the writing of the intent included.
            std::uniform_int_distribution<long> delay(0, startMicroseconds + movesMicroseconds);
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        } else {
            // Mostly among the moves: once the intent has reached the file.
            while (fs::file_size(journalFile, error) == sizeBefore || error)
                std::this_thread::sleep_for(std::chrono::microseconds(20));
            std::uniform_int_distribution<long> delay(0, movesMicroseconds);
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        }
        if (round > 0) {
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
        }

        SwitchJournal journal(SwitchJournal::defaultFile());
        journal.open();
        journal.takeProblem(); // a kill inside a line leaves a damaged last line
        ASSERT_TRUE(journal.keeping());
        const std::set<fs::path> disabled = disabledMods(temp / "mods");
        std::set<fs::path> recorded;
        const JournalBatch *last = journal.batches().empty() ? nullptr : &journal.batches().back();
        if (last && last->action == JournalAction::DisableAll) {
            for (std::size_t i = 0; i < last->moves().size(); ++i) {
                const EntryMove &move = last->moves()[i];
                ASSERT_NE(fs::exists(move.from), fs::exists(move.to)) << move.from;
                EXPECT_EQ(bool(last->made[i]), fs::exists(move.to)) << move.to;
                if (last->made[i])
                    recorded.insert(modFolderOf(move.from));
            }
            killedHalfWay += last->interrupted && !disabled.empty() &&
                                     disabled.size() < std::size_t(kMods)
                                 ? 1
                                 : 0;
        }
        ASSERT_EQ(disabled, recorded);

        ModCatalogue catalogue(roots);
        catalogue.reload();
        testing::internal::CaptureStdout();
        const RecordedRun undone = undoLast(catalogue, journal);
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(undone.skipped.empty());
        ASSERT_TRUE(disabledMods(temp / "mods").empty());
    }
    RecordProperty("kills that landed among the moves", killedHalfWay);
    EXPECT_GT(killedHalfWay, 0);
}

} // namespace

#endif
