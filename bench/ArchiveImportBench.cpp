// Unpacking and importing a 200 MB zip of 200 mods, against `unzip -q` into an
// empty folder followed by `cp -rn` into an equally empty category folder, in
// the same run; and the import's peak memory for that zip and for one a
// quarter its size, which must be about the same: entries are streamed.
#include "bench/BenchStats.h"
#include "library/import/ModArchive.h"
#include "library/catalogue/ModCatalogue.h"
#include "tests/support/TempDir.h"

#include <archive.h>
#include <archive_entry.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 5;

// One mod: scripts and configuration that compress well, models, textures and
// sounds that hardly do; about 1 MB packed, 1.1 MB unpacked.
struct ModFile
{
    const char *name;
    std::size_t size;
    bool text;
};
constexpr ModFile kModFiles[] = {
    {"Cockpit/Scripts/device_init.lua", 24000, true}, {"Cockpit/Scripts/avionics.lua", 60000, true},
    {"Database/aircraft.lua", 40000, true},           {"Shapes/body.edm", 360000, false},
    {"Shapes/lod1.edm", 120000, false},               {"Liveries/default/tex0.dds", 95000, false},
    {"Liveries/default/tex1.dds", 95000, false},      {"Liveries/default/description.lua", 2000, true},
    {"Sounds/engine.ogg", 150000, false},             {"Textures/panel.dds", 170000, true},
};

std::string bytesOf(std::size_t size, bool text, std::mt19937 &random)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = text ? "local abcdefghij = { 0123456789 },\n"[random() % 35]
                        : static_cast<char>(random());
    return bytes;
}

void add(archive *writer, const std::string &name, const std::string &bytes)
{
    std::unique_ptr<archive_entry, void (*)(archive_entry *)> entry(archive_entry_new(),
                                                                    archive_entry_free);
    archive_entry_set_pathname(entry.get(), name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(bytes.size()));
    archive_write_header(writer, entry.get());
    archive_write_data(writer, bytes.data(), bytes.size());
}

// Returns the unpacked size; the zip is written entry by entry.
std::uintmax_t generateZip(const fs::path &zip, int mods)
{
    std::unique_ptr<archive, int (*)(archive *)> writer(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(writer.get());
    archive_write_open_filename(writer.get(), zip.c_str());
    std::mt19937 random(12345);
    std::uintmax_t unpacked = 0;
    for (int index = 0; index < mods; ++index) {
        const std::string folder = "Pack/Mod" + std::to_string(index) + "/";
        const std::string entry =
            "self_ID = \"bench_archive_" + std::to_string(index) + "\"\nversion = \"1.0.0\"\n";
        add(writer.get(), folder + "entry.lua", entry);
        unpacked += entry.size();
        for (const ModFile &file : kModFiles) {
            add(writer.get(), folder + file.name, bytesOf(file.size, file.text, random));
            unpacked += file.size;
        }
    }
    archive_write_close(writer.get());
    return unpacked;
}

struct Run
{
    double wall = 0;
    double processor = 0;
    double peakMegabytes = 0;
};

// Runs the program to its end; its time, its processor time and the peak
// resident memory of it and everything it started.
Run spawn(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    Run run;
    run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.processor = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return run;
}

// Writes from an earlier run would otherwise be flushed during a later one.
void settle()
{
    ::sync();
}

Run importRun(const fs::path &self, const fs::path &zip, const fs::path &mods)
{
    fs::create_directories(mods / "aircraft");
    fs::create_directories(mods / "tech");
    settle();
    return spawn({self.string(), "--import", zip.string(), mods.string()});
}

Run commandRun(const fs::path &zip, const fs::path &work)
{
    const fs::path category = work / "mods" / "aircraft";
    fs::create_directories(category);
    const std::string script = "unzip -q '" + zip.string() + "' -d '" + (work / "unpacked").string() +
                               "' && cp -rn '" + (work / "unpacked" / ".").string() + "' '" +
                               category.string() + "'";
    settle();
    return spawn({"/bin/sh", "-c", script});
}

double medianOf(const std::vector<Run> &runs, double Run::*part)
{
    std::vector<double> values;
    for (const Run &run : runs)
        values.push_back(run.*part);
    return median(std::move(values));
}

int importOnly(const fs::path &zip, const fs::path &mods)
{
    ModLibraryRoots roots;
    roots.aircraftPath = mods / "aircraft";
    roots.techPath = mods / "tech";
    ModCatalogue catalogue(std::move(roots));
    catalogue.reload();
    const ImportResult result = importArchive(catalogue, zip, ModCategory::Aircraft);
    return result.modsImported > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--import") == 0)
        return importOnly(argv[2], argv[3]);
    if (std::system("command -v unzip >/dev/null") != 0) {
        std::printf("unzip is not installed; skipped\n");
        return 0;
    }
    const fs::path self = fs::read_symlink("/proc/self/exe");
    TempDir zips;
    const fs::path large = zips / "large.zip";
    const fs::path small = zips / "small.zip";
    const std::uintmax_t unpacked = generateZip(large, 200);
    generateZip(small, 50);

    std::vector<Run> ours;
    std::vector<Run> commands;
    for (int round = 0; round < kRounds; ++round) {
        TempDir first;
        TempDir second;
        if (round % 2 == 0) {
            ours.push_back(importRun(self, large, first.path()));
            commands.push_back(commandRun(large, second.path()));
        } else {
            commands.push_back(commandRun(large, second.path()));
            ours.push_back(importRun(self, large, first.path()));
        }
    }
    TempDir smallMods;
    const Run smallRun = importRun(self, small, smallMods.path());

    const double packedMb = static_cast<double>(fs::file_size(large)) / 1e6;
    const double unpackedMb = static_cast<double>(unpacked) / 1e6;
    const double wall = medianOf(ours, &Run::wall);
    const double base = medianOf(commands, &Run::wall);
    std::printf("Archive import of 200 mods, %.1f MB zip, %.1f MB unpacked, median of %d rounds:\n",
                packedMb, unpackedMb, kRounds);
    std::printf("  importArchive      %8.1f ms wall, %8.1f ms processor, peak %.1f MB\n", wall * 1e3,
                medianOf(ours, &Run::processor) * 1e3, medianOf(ours, &Run::peakMegabytes));
    std::printf("  unzip -q + cp -rn  %8.1f ms wall, %8.1f ms processor, peak %.1f MB\n", base * 1e3,
                medianOf(commands, &Run::processor) * 1e3, medianOf(commands, &Run::peakMegabytes));
    std::printf("  ratio              %8.2fx wall, %.2fx processor (target <= 1.30x)\n", wall / base,
                medianOf(ours, &Run::processor) / medianOf(commands, &Run::processor));
    std::printf("  peak memory, %.1f MB zip: %.1f MB; %.1f MB zip: %.1f MB\n",
                static_cast<double>(fs::file_size(small)) / 1e6, smallRun.peakMegabytes, packedMb,
                medianOf(ours, &Run::peakMegabytes));
    return 0;
}
