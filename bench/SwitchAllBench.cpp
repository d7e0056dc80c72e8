// "Disable All" then "Enable All" over the generated 2,000-mod folder, against
// the floor: the same folder creations and renames plus one read of each moved
// entry file, done with the plainest calls, on an identical folder, same run.
#include "bench/BenchStats.h"
#include "bench/ModsFolderGenerator.h"
#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/switching/ModInstall.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 8;

// A catalogue over the generated mods folder, loaded before any timing.
std::unique_ptr<ModCatalogue> load(const fs::path &mods)
{
    ModLibraryRoots roots;
    roots.aircraftPath = mods / "aircraft";
    roots.techPath = mods / "tech";
    auto catalogue = std::make_unique<ModCatalogue>(std::move(roots));
    catalogue->reload();
    return catalogue;
}

// One plain read of the whole file, in blocks, without parsing it.
std::size_t readWhole(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    static char block[1 << 14];
    std::size_t size = 0;
    while (in.read(block, sizeof block) || in.gcount() > 0)
        size += static_cast<std::size_t>(in.gcount());
    return size;
}

// Wall time, and the processor time of this process (user and system), which
// other work on a busy machine disturbs far less.
struct Timing
{
    double wall = 0;
    double processor = 0;
};

class Stopwatch
{
public:
    Stopwatch() : m_wall(std::chrono::steady_clock::now()), m_processor(std::clock()) {}

    Timing elapsed() const
    {
        return {std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wall).count(),
                static_cast<double>(std::clock() - m_processor) / CLOCKS_PER_SEC};
    }

private:
    std::chrono::steady_clock::time_point m_wall;
    std::clock_t m_processor;
};

double medianOf(const std::vector<Timing> &timings, double Timing::*part)
{
    std::vector<double> values;
    for (const Timing &timing : timings)
        values.push_back(timing.*part);
    return median(std::move(values));
}

// Pending writes of the generation or of the last round would otherwise be
// flushed while one of the two runs is timed.
void settle()
{
    if (std::system("sync") != 0)
        std::fprintf(stderr, "sync failed\n");
}

Timing timeLibrary(const fs::path &mods)
{
    const auto loaded = load(mods);
    ModCatalogue &catalogue = *loaded;
    settle();
    const Stopwatch stopwatch;
    uninstallAll(catalogue);
    installAll(catalogue);
    const Timing elapsed = stopwatch.elapsed();
    for (const ModRecord &record : catalogue.records()) {
        if (!record.installState || !fs::exists(record.modFolder() / kStorageFolderName))
            std::fprintf(stderr, "library run left %s in the wrong state\n",
                         record.entryPath.string().c_str());
    }
    return elapsed;
}

// Moves only what the library moves: Disable All touches the enabled mods,
// Enable All then every mod; a storage folder is made where none is yet.
Timing timeFloor(const fs::path &mods)
{
    std::vector<fs::path> enabled;
    std::vector<fs::path> all;
    const auto catalogue = load(mods);
    for (const ModRecord &record : catalogue->records()) {
        const fs::path installed = record.modFolder() / record.entryPath.filename();
        all.push_back(installed);
        if (record.installState)
            enabled.push_back(installed);
    }
    settle();
    std::size_t bytes = 0;
    const Stopwatch stopwatch;
    for (const fs::path &entry : enabled) {
        const fs::path storage = entry.parent_path() / kStorageFolderName;
        fs::create_directory(storage);
        fs::rename(entry, storage / kEntryFileName);
        bytes += readWhole(storage / kEntryFileName);
    }
    for (const fs::path &entry : all) {
        fs::rename(entry.parent_path() / kStorageFolderName / kEntryFileName, entry);
        bytes += readWhole(entry);
    }
    const Timing elapsed = stopwatch.elapsed();
    if (bytes == 0)
        std::fprintf(stderr, "floor read nothing\n");
    return elapsed;
}

struct GeneratedMod
{
    fs::path folder; // relative to the mods folder
    bool enabled;
};

std::vector<GeneratedMod> describe(const fs::path &mods)
{
    std::vector<GeneratedMod> result;
    const auto catalogue = load(mods);
    for (const ModRecord &record : catalogue->records())
        result.push_back({fs::relative(record.modFolder(), mods), record.installState});
    return result;
}

// Both runs leave every mod enabled with a storage folder; put the folder back
// as generated, so that every round does the same work.
void restore(const fs::path &mods, const std::vector<GeneratedMod> &generated)
{
    for (const GeneratedMod &mod : generated) {
        const fs::path storage = mods / mod.folder / kStorageFolderName;
        if (mod.enabled)
            fs::remove(storage);
        else
            fs::rename(mods / mod.folder / kEntryFileName, storage / kEntryFileName);
    }
}

} // namespace

int main()
{
    std::vector<Timing> library;
    std::vector<Timing> floor;
    TempDir first;
    TempDir second;
    const ModsFolderGenerator generator({});
    generator.generate(first.path());
    generator.generate(second.path());
    const std::vector<GeneratedMod> generated = describe(first.path());
    for (int round = 0; round < kRounds; ++round) {
        // Alternate which goes first and on which copy, so that neither always
        // meets a warmer cache or the same disk layout.
        const fs::path &one = round % 2 == 0 ? first.path() : second.path();
        const fs::path &other = round % 2 == 0 ? second.path() : first.path();
        if (round % 4 < 2) {
            library.push_back(timeLibrary(one));
            floor.push_back(timeFloor(other));
        } else {
            floor.push_back(timeFloor(other));
            library.push_back(timeLibrary(one));
        }
        restore(first.path(), generated);
        restore(second.path(), generated);
    }
    const double mods = static_cast<double>(ModsFolderGenerator::Options().modCount);
    std::printf("Disable All + Enable All, %.0f mods, median of %d rounds:\n", mods, kRounds);
    std::printf("  library %8.1f ms wall (%5.1f us/mod), %8.1f ms processor\n",
                medianOf(library, &Timing::wall) * 1e3, medianOf(library, &Timing::wall) * 1e6 / mods,
                medianOf(library, &Timing::processor) * 1e3);
    std::printf("  floor   %8.1f ms wall (%5.1f us/mod), %8.1f ms processor "
                "(the same mkdirs, renames, reads)\n",
                medianOf(floor, &Timing::wall) * 1e3, medianOf(floor, &Timing::wall) * 1e6 / mods,
                medianOf(floor, &Timing::processor) * 1e3);
    std::printf("  ratio   %8.2fx wall, %.2fx processor (target <= 1.30x)\n",
                medianOf(library, &Timing::wall) / medianOf(floor, &Timing::wall),
                medianOf(library, &Timing::processor) / medianOf(floor, &Timing::processor));
    return 0;
}
