// Importing a folder of 200 mods of a few MB each, against `cp -rn` of the
// same folders into an equally empty category folder, in the same run.
#include "bench/BenchStats.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/import/ModImport.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kMods = 200;
constexpr int kRounds = 5;

void writeBytes(const fs::path &file, std::size_t size, char fill)
{
    fs::create_directories(file.parent_path());
    const std::string bytes(size, fill);
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
}

// About 2.6 MB per mod, in the shape of an aircraft mod: scripts, models,
// textures and sounds, some of them a few folders down.
std::uintmax_t generate(const fs::path &source)
{
    for (int index = 0; index < kMods; ++index) {
        const fs::path mod = source / ("Mod" + std::to_string(index));
        fs::create_directories(mod);
        std::ofstream(mod / "entry.lua", std::ios::binary)
            << "self_ID = \"bench_import_" << index << "\"\nversion = \"1.0.0\"\n";
        for (int script = 0; script < 12; ++script)
            writeBytes(mod / "Cockpit" / "Scripts" / ("device" + std::to_string(script) + ".lua"),
                       6000, 's');
        writeBytes(mod / "Shapes" / "body.edm", 900000, 'm');
        writeBytes(mod / "Shapes" / "lod1.edm", 300000, 'm');
        for (int texture = 0; texture < 6; ++texture)
            writeBytes(mod / "Liveries" / "default" / ("tex" + std::to_string(texture) + ".dds"),
                       180000, 't');
        writeBytes(mod / "Sounds" / "engine.ogg", 250000, 'a');
    }
    std::uintmax_t bytes = 0;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(source))
        if (entry.is_regular_file())
            bytes += entry.file_size();
    return bytes;
}

// Wall time, and processor time (user and system: the kernel's copying counts),
// which other work on a busy machine disturbs far less.
struct Timing
{
    double wall = 0;
    double processor = 0;
};

// Processor time of this process, or of its finished children.
double processorSeconds(bool children)
{
#ifdef _WIN32
    return children ? 0.0 : static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#else
    rusage usage{};
    ::getrusage(children ? RUSAGE_CHILDREN : RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
#endif
}

template <typename Work> Timing measure(bool inChild, Work work)
{
    const double processorStart = processorSeconds(inChild);
    const auto wallStart = std::chrono::steady_clock::now();
    work();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count(),
            processorSeconds(inChild) - processorStart};
}

double medianOf(const std::vector<Timing> &timings, double Timing::*part)
{
    std::vector<double> values;
    for (const Timing &timing : timings)
        values.push_back(timing.*part);
    return median(std::move(values));
}

// Writes from an earlier run would otherwise be flushed during a later one.
void settle()
{
    if (std::system("sync") != 0)
        std::fprintf(stderr, "sync failed\n");
}

Timing timeLibrary(const fs::path &source, const fs::path &mods)
{
    fs::create_directories(mods / "aircraft");
    fs::create_directories(mods / "tech");
    ModLibraryRoots roots;
    roots.aircraftPath = mods / "aircraft";
    roots.techPath = mods / "tech";
    ModCatalogue catalogue(std::move(roots));
    catalogue.reload();
    settle();
    return measure(false, [&] { importMods(catalogue, source, ModCategory::Aircraft); });
}

Timing timeCopyCommand(const fs::path &source, const fs::path &mods)
{
    fs::create_directories(mods / "aircraft");
    const std::string command =
        "cp -rn '" + (source / ".").string() + "' '" + (mods / "aircraft").string() + "'";
    settle();
    return measure(true, [&] {
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "cp failed\n");
    });
}

} // namespace

int main()
{
    TempDir source;
    const std::uintmax_t bytes = generate(source.path());
    std::vector<Timing> library;
    std::vector<Timing> copyCommand;
    for (int round = 0; round < kRounds; ++round) {
        TempDir first;
        TempDir second;
        if (round % 2 == 0) {
            library.push_back(timeLibrary(source.path(), first.path()));
            copyCommand.push_back(timeCopyCommand(source.path(), second.path()));
        } else {
            copyCommand.push_back(timeCopyCommand(source.path(), second.path()));
            library.push_back(timeLibrary(source.path(), first.path()));
        }
    }
    const double mb = static_cast<double>(bytes) / 1e6;
    const double ours = medianOf(library, &Timing::wall);
    const double base = medianOf(copyCommand, &Timing::wall);
    std::printf("Import of %d mods, %.1f MB, median of %d rounds:\n", kMods, mb, kRounds);
    std::printf("  importMods %8.1f ms wall (%5.0f MB/s), %8.1f ms processor\n", ours * 1e3,
                mb / ours, medianOf(library, &Timing::processor) * 1e3);
    std::printf("  cp -rn     %8.1f ms wall (%5.0f MB/s), %8.1f ms processor\n", base * 1e3,
                mb / base, medianOf(copyCommand, &Timing::processor) * 1e3);
    std::printf("  ratio      %8.2fx wall, %.2fx processor (target <= 1.20x)\n", ours / base,
                medianOf(library, &Timing::processor) / medianOf(copyCommand, &Timing::processor));
    return 0;
}
