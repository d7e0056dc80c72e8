// "Disable All" then "Enable All" over 2,000 mods, against the floor: the same
// folder creations and renames plus one read of each moved entry file, done
// with the plainest calls, on an identical mods folder, in the same run.
#include "library/Constants.h"
#include "library/ModCatalogue.h"
#include "library/ModInstall.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kModsPerCategory = 1000;
constexpr int kRounds = 5;

// An entry file of the usual size and shape: metadata first, then the
// plugin's declarations.
std::string entryText(int index)
{
    std::ostringstream text;
    text << "local self_ID = \"bench_mod_" << index << "\"\n"
         << "declare_plugin(self_ID,\n{\n"
         << "\timage = \"FC3.bmp\",\n\tinstaller = true,\n"
         << "\tdisplayName = _(\"Bench Mod " << index << "\"),\n"
         << "\tshortName = \"BM" << index << "\",\n"
         << "\tdeveloperName = _(\"Bench Works\"),\n"
         << "\tversion = \"1." << index % 10 << ".0\",\n"
         << "\tstate = \"installed\",\n\tinfo = _(\"A generated mod.\"),\n"
         << "\tSkins = {{ name = \"BM" << index << "\", dir = \"Theme\" }},\n})\n";
    for (int line = 0; line < 40; ++line)
        text << "mount_vfs_texture_path(current_mod_path .. \"/Textures/part" << line
             << ".zip\")\n";
    text << "plugin_done()\n";
    return text.str();
}

void generate(const fs::path &mods)
{
    for (const char *category : {"aircraft", "tech"}) {
        for (int index = 0; index < kModsPerCategory; ++index) {
            const fs::path mod = mods / category / ("Mod" + std::to_string(index));
            fs::create_directories(mod);
            std::ofstream(mod / kEntryFileName, std::ios::binary) << entryText(index);
        }
    }
}

std::vector<fs::path> entryFiles(const fs::path &mods)
{
    std::vector<fs::path> entries;
    for (const char *category : {"aircraft", "tech"}) {
        for (int index = 0; index < kModsPerCategory; ++index)
            entries.push_back(mods / category / ("Mod" + std::to_string(index)) / kEntryFileName);
    }
    return entries;
}

std::size_t readWhole(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes.size();
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

double timeLibrary(const fs::path &mods)
{
    ModLibraryRoots roots;
    roots.aircraftPath = mods / "aircraft";
    roots.techPath = mods / "tech";
    ModCatalogue catalogue(std::move(roots));
    catalogue.reload();
    const auto start = std::chrono::steady_clock::now();
    uninstallAll(catalogue);
    installAll(catalogue);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    for (const ModRecord &record : catalogue.records()) {
        if (!record.installState || !fs::exists(record.modFolder() / kStorageFolderName))
            std::fprintf(stderr, "library run left %s in the wrong state\n",
                         record.entryPath.string().c_str());
    }
    return seconds(elapsed);
}

double timeFloor(const fs::path &mods)
{
    const std::vector<fs::path> entries = entryFiles(mods);
    std::size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const fs::path &entry : entries) {
        const fs::path storage = entry.parent_path() / kStorageFolderName;
        fs::create_directory(storage);
        fs::rename(entry, storage / kEntryFileName);
        bytes += readWhole(storage / kEntryFileName);
    }
    for (const fs::path &entry : entries) {
        fs::rename(entry.parent_path() / kStorageFolderName / kEntryFileName, entry);
        bytes += readWhole(entry);
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (bytes == 0)
        std::fprintf(stderr, "floor read nothing\n");
    return seconds(elapsed);
}

} // namespace

int main()
{
    std::vector<double> library;
    std::vector<double> floor;
    for (int round = 0; round < kRounds; ++round) {
        TempDir first;
        TempDir second;
        generate(first.path());
        generate(second.path());
        // Alternate which goes first, so that neither always meets a warmer cache.
        if (round % 2 == 0) {
            library.push_back(timeLibrary(first.path()));
            floor.push_back(timeFloor(second.path()));
        } else {
            floor.push_back(timeFloor(second.path()));
            library.push_back(timeLibrary(first.path()));
        }
    }
    const double mods = 2.0 * kModsPerCategory;
    const double ours = median(library);
    const double base = median(floor);
    std::printf("Disable All + Enable All, %.0f mods, median of %d rounds:\n", mods, kRounds);
    std::printf("  library %8.1f ms (%5.1f us/mod)\n", ours * 1e3, ours * 1e6 / mods);
    std::printf("  floor   %8.1f ms (%5.1f us/mod: mkdir, 2 renames, 2 reads)\n", base * 1e3,
                base * 1e6 / mods);
    std::printf("  ratio   %8.2fx (target <= 1.30x)\n", ours / base);
    return 0;
}
