// The journal of switches over the generated 2,000-mod folder, every mod on:
//  - Disable All recorded against the same Disable All unrecorded (target: at
//    most 5% more);
//  - undoing it against the floor of the same 2,000 renames plus one read of
//    each moved entry file (target: at most 1.2x);
//  - opening a journal of 1,000 batches (target: at most 50 ms).
#include "bench/BenchStats.h"
#include "bench/ModsFolderGenerator.h"
#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/history/RecordedSwitching.h"
#include "library/history/SwitchJournal.h"
#include "library/switching/ModInstall.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 16;

std::unique_ptr<ModCatalogue> load(const fs::path &mods)
{
    ModLibraryRoots roots;
    roots.aircraftPath = mods / "aircraft";
    roots.techPath = mods / "tech";
    auto catalogue = std::make_unique<ModCatalogue>(std::move(roots));
    catalogue->reload();
    return catalogue;
}

std::size_t readWhole(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    static char block[1 << 14];
    std::size_t size = 0;
    while (in.read(block, sizeof block) || in.gcount() > 0)
        size += static_cast<std::size_t>(in.gcount());
    return size;
}

void settle()
{
    if (std::system("sync") != 0)
        std::fprintf(stderr, "sync failed\n");
}

// Processor time of this process (user and system): the machine is shared, and
// wall time would measure the neighbours' builds as much as this code.
struct Clock
{
    static std::clock_t now() { return std::clock(); }
};

double seconds(std::clock_t since)
{
    return static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC;
}

// Disable All without the journal, then everything back on (untimed).
double plainDisableAll(const fs::path &mods)
{
    const auto catalogue = load(mods);
    settle();
    const auto start = Clock::now();
    uninstallAll(*catalogue);
    const double elapsed = seconds(start);
    installAll(*catalogue);
    return elapsed;
}

// Disable All recorded, then its undo; both timed apart. Everything ends on.
void recordedDisableAllAndUndo(const fs::path &mods, SwitchJournal &journal, double &recorded,
                               double &undo)
{
    const auto catalogue = load(mods);
    settle();
    auto start = Clock::now();
    recordedSwitchAll(*catalogue, false, journal);
    recorded = seconds(start);
    settle();
    start = Clock::now();
    const RecordedRun run = undoLast(*catalogue, journal);
    undo = seconds(start);
    if (run.moved != catalogue->records().size())
        std::fprintf(stderr, "undo moved %zu of %zu\n", run.moved, catalogue->records().size());
}

// The floor of the undo: every entry file renamed up out of its storage folder
// and read once, on a folder where every mod is off.
double floorOfUndo(const fs::path &mods)
{
    const auto catalogue = load(mods);
    uninstallAll(*catalogue);
    std::vector<fs::path> stored;
    for (const ModRecord &record : catalogue->records())
        stored.push_back(record.entryPath);
    settle();
    std::size_t bytes = 0;
    const auto start = Clock::now();
    for (const fs::path &entry : stored) {
        const fs::path up = entry.parent_path().parent_path() / entry.filename();
        fs::rename(entry, up);
        bytes += readWhole(up);
    }
    const double elapsed = seconds(start);
    if (bytes == 0)
        std::fprintf(stderr, "floor read nothing\n");
    return elapsed;
}

// The same undo moves made by the batch runner over the catalogue, without
// the journal: what the undo costs besides recording and leaving out.
double unrecordedUndo(const fs::path &mods)
{
    const auto catalogue = load(mods);
    uninstallAll(*catalogue);
    std::vector<EntryMove> moves;
    for (const ModRecord &record : catalogue->records())
        moves.push_back(toggleMove(record.entryPath));
    std::reverse(moves.begin(), moves.end());
    settle();
    const auto start = Clock::now();
    runEntryMoves(*catalogue, moves);
    return seconds(start);
}

// A player's journal: row switches, and every 20th batch a Disable All or an
// Enable All over 500 mods.
void writeJournal(const fs::path &file, std::size_t &moves)
{
    SwitchJournal journal(file);
    journal.open();
    moves = 0;
    const fs::path mods = "/home/player/games/sim/mods/aircraft";
    for (int batch = 0; batch < int(SwitchJournal::kKeptBatches); ++batch) {
        std::vector<EntryMove> list;
        const int count = batch % 20 == 19 ? 500 : 1;
        for (int i = 0; i < count; ++i) {
            const fs::path folder = mods / ("Some Aircraft Mod " + std::to_string((batch + i) % 700));
            list.push_back({folder / kEntryFileName, folder / kStorageFolderName / kEntryFileName});
        }
        moves += list.size();
        const JournalAction action = count > 1 ? JournalAction::DisableAll : JournalAction::Uninstall;
        const std::uint64_t id = journal.begin(action, "Some Aircraft Mod", 0, list);
        journal.finish(id, std::vector<bool>(list.size(), true));
    }
}

} // namespace

int main()
{
    TempDir first;
    TempDir second;
    ModsFolderGenerator::Options options;
    options.disabledShare = 0;
    const ModsFolderGenerator generator(options);
    generator.generate(first / "mods");
    generator.generate(second / "mods");
    fs::create_directories(first / "data");
    SwitchJournal journal(first / "data" / "journal");
    journal.open();

    std::vector<double> plain;
    std::vector<double> recorded;
    std::vector<double> undo;
    std::vector<double> floor;
    std::vector<double> batchRunner;
    for (int round = 0; round < kRounds; ++round) {
        const fs::path &one = round % 2 == 0 ? first.path() : second.path();
        const fs::path &other = round % 2 == 0 ? second.path() : first.path();
        double recordedTime = 0;
        double undoTime = 0;
        if (round % 4 < 2) {
            plain.push_back(plainDisableAll(one / "mods"));
            recordedDisableAllAndUndo(other / "mods", journal, recordedTime, undoTime);
        } else {
            recordedDisableAllAndUndo(other / "mods", journal, recordedTime, undoTime);
            plain.push_back(plainDisableAll(one / "mods"));
        }
        recorded.push_back(recordedTime);
        undo.push_back(undoTime);
        floor.push_back(floorOfUndo(one / "mods"));
        batchRunner.push_back(unrecordedUndo(one / "mods"));
    }

    const double mods = static_cast<double>(options.modCount);
    std::printf("Journal, %.0f mods, median of %d rounds, processor time:\n", mods, kRounds);
    std::printf("  Disable All unrecorded %8.1f ms\n", median(plain) * 1e3);
    std::printf("  Disable All recorded   %8.1f ms  (%+.1f%%, target <= +5%%)\n",
                median(recorded) * 1e3, (median(recorded) / median(plain) - 1) * 100);
    std::printf("  undo of it             %8.1f ms\n", median(undo) * 1e3);
    std::printf("  floor of the undo      %8.1f ms  (renames and one read each)\n",
                median(floor) * 1e3);
    std::printf("  undo / floor           %8.2fx (target <= 1.20x)\n", median(undo) / median(floor));
    std::printf("  same moves unrecorded  %8.1f ms  (the batch runner over the catalogue; undo %.2fx)\n",
                median(batchRunner) * 1e3, median(undo) / median(batchRunner));

    {
        // Recording alone: the intent and the outcome of a 2,000-move batch.
        TempDir folder;
        SwitchJournal alone(folder / "journal");
        alone.open();
        const auto catalogue = load(first / "mods");
        std::vector<EntryMove> moves;
        for (const ModRecord &record : catalogue->records())
            moves.push_back(toggleMove(record.entryPath));
        std::vector<double> times;
        for (int round = 0; round < kRounds; ++round) {
            std::vector<EntryMove> copy = moves;
            const auto start = Clock::now();
            const std::uint64_t id = alone.begin(JournalAction::DisableAll, {}, 0, std::move(copy));
            alone.finish(id, std::vector<bool>(moves.size(), true));
            times.push_back(seconds(start));
        }
        std::printf("  recording alone        %8.1f ms  (intent and outcome of %zu moves; %.1f%% of "
                    "Disable All unrecorded)\n",
                    median(times) * 1e3, moves.size(), median(times) / median(plain) * 100);
    }

    TempDir journalFolder;
    std::size_t moves = 0;
    writeJournal(journalFolder / "journal", moves);
    std::vector<double> opening;
    for (int round = 0; round < kRounds; ++round) {
        SwitchJournal reader(journalFolder / "journal");
        const auto start = Clock::now();
        reader.open();
        opening.push_back(seconds(start));
        if (reader.batches().size() != SwitchJournal::kKeptBatches)
            std::fprintf(stderr, "read %zu batches\n", reader.batches().size());
    }
    std::printf("  opening a journal of %zu batches, %zu moves, %.1f MB: %.1f ms (target <= 50 ms)\n",
                SwitchJournal::kKeptBatches, moves,
                double(fs::file_size(journalFolder / "journal")) / 1e6, median(opening) * 1e3);
    return 0;
}
