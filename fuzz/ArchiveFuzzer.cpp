// Archive bytes in, imported into a fresh mods folder that already holds a mod,
// beside a folder that must stay untouched. Whatever the archive, nothing is
// written outside the mods folder, the installed mod keeps its file, and no
// unpacking folder, temporary file or marker is left.

#include "fuzz/FuzzCheck.h"
#include "library/catalogue/ImportLeftovers.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/import/ModArchive.h"

#include <cstdint>
#include <fstream>
#include <set>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The archive's own name decides the folder of loose top-level files: names
// made of dots once unpacked into the mods folder itself.
const char *const kArchiveNames[] = {"mod.zip", "...zip", "..7z", "a.tar.gz", "mod.rar", "x.tar"};

void writeBytes(const fs::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> namesIn(const fs::path &folder)
{
    std::set<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.insert(it->path().filename().string());
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const fs::path root = fuzzScratchFolder();
    std::error_code error;
    fs::remove_all(root, error);
    const fs::path mods = root / "mods";
    const fs::path installed = mods / "aircraft" / "Existing" / "livery.dds";
    fs::create_directories(installed.parent_path(), error);
    fs::create_directories(mods / "tech", error);
    fs::create_directories(root / "outside", error);
    writeBytes(mods / "aircraft" / "Existing" / "entry.lua", "self_ID = \"existing\"\n");
    writeBytes(installed, "installed");
    writeBytes(root / "outside" / "sentinel", "sentinel");
    const fs::path archive = root / "in" / kArchiveNames[data[0] % std::size(kArchiveNames)];
    fs::create_directories(archive.parent_path(), error);
    writeBytes(archive, std::string(reinterpret_cast<const char *>(data) + 1, size - 1));

    ModCatalogue catalogue(ModLibraryRoots{mods / "aircraft", mods / "tech", {}, {}});
    ArchiveLimits limits;
    limits.ratio = 50;
    limits.floor = 16 << 20;
    try {
        catalogue.reload();
        importArchive(catalogue, archive, ModCategory::Aircraft, nullptr, limits);
    } catch (const ArchiveError &) {
    } catch (const fs::filesystem_error &) {
    }

    fuzzCheck(namesIn(root) == std::set<std::string>{"in", "mods", "outside"}, "written beside the mods folder");
    fuzzCheck(namesIn(root / "outside") == std::set<std::string>{"sentinel"} &&
                  readBytes(root / "outside" / "sentinel") == "sentinel",
              "written outside the mods folder");
    fuzzCheck(namesIn(mods) == std::set<std::string>{"aircraft", "tech"},
              "unpacking folder or marker left in the mods folder");
    fuzzCheck(readBytes(installed) == "installed", "an installed mod's file changed");
    for (fs::recursive_directory_iterator it(mods, error), end; !error && it != end; it.increment(error))
        fuzzCheck(!isLeftoverName(it->path().filename()), "temporary file left");
    return 0;
}
