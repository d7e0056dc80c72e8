// Importing a folder of 200 mods of a few MB each, against `cp -rn` of the
// same folders into an equally empty category folder, in the same run.
#include "library/ModCatalogue.h"
#include "library/ModImport.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kMods = 200;
constexpr int kRounds = 3;

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

double seconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Writes from an earlier run would otherwise be flushed during a later one.
void settle()
{
    if (std::system("sync") != 0)
        std::fprintf(stderr, "sync failed\n");
}

double timeLibrary(const fs::path &source, const fs::path &mods)
{
    fs::create_directories(mods / "aircraft");
    fs::create_directories(mods / "tech");
    ModLibraryRoots roots;
    roots.aircraftPath = mods / "aircraft";
    roots.techPath = mods / "tech";
    ModCatalogue catalogue(std::move(roots));
    catalogue.reload();
    settle();
    const auto start = std::chrono::steady_clock::now();
    importMods(catalogue, source, ModCategory::Aircraft);
    return seconds(std::chrono::steady_clock::now() - start);
}

double timeCopyCommand(const fs::path &source, const fs::path &mods)
{
    fs::create_directories(mods / "aircraft");
    const std::string command =
        "cp -rn '" + (source / ".").string() + "' '" + (mods / "aircraft").string() + "'";
    settle();
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "cp failed\n");
    return seconds(std::chrono::steady_clock::now() - start);
}

} // namespace

int main()
{
    TempDir source;
    const std::uintmax_t bytes = generate(source.path());
    std::vector<double> library;
    std::vector<double> copyCommand;
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
    const double ours = median(library);
    const double base = median(copyCommand);
    std::printf("Import of %d mods, %.1f MB, median of %d rounds:\n", kMods, bytes / 1e6, kRounds);
    std::printf("  importMods %8.1f ms (%6.0f MB/s)\n", ours * 1e3, bytes / 1e6 / ours);
    std::printf("  cp -rn     %8.1f ms (%6.0f MB/s)\n", base * 1e3, bytes / 1e6 / base);
    std::printf("  ratio      %8.2fx (target <= 1.20x)\n", ours / base);
    return 0;
}
