// A small tree built from the input: mod folders, entry files, storage
// folders, links (loops included) and files where folders belong. It is
// scanned, every mod is disabled and enabled, and a source folder of the same
// tree is imported; the checks are that no file is lost or changed and that
// the records agree with where their entry files lie.

#include "fuzz/FuzzCheck.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/import/ModImport.h"
#include "library/switching/ModInstall.h"
#include "library/catalogue/ModRecord.h"

#include <cstdint>
#include <fstream>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char *const kTops[] = {"mods/aircraft", "mods/tech", "mods", "src", "src/x"};
const char *const kNames[] = {"a",        "b",    "entry.lua", "Entry.lua", "_Z_AzuDavodoz_E_",
                              "aircraft", "tech", "c d"};

fs::path randomPath(FuzzedDataProvider &input, const fs::path &root)
{
    fs::path path = root / input.PickValueInArray(kTops);
    const int depth = input.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < depth; ++i)
        path /= input.PickValueInArray(kNames);
    return path;
}

void writeBytes(const fs::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void buildTree(FuzzedDataProvider &input, const fs::path &root)
{
    std::error_code error;
    fs::create_directories(root / "mods" / "aircraft", error);
    fs::create_directories(root / "mods" / "tech", error);
    fs::create_directories(root / "src", error);
    const int steps = input.ConsumeIntegralInRange(0, 24);
    for (int step = 0; step < steps && input.remaining_bytes() > 0; ++step) {
        const fs::path path = randomPath(input, root);
        switch (input.ConsumeIntegralInRange(0, 4)) {
        case 0:
            fs::create_directories(path, error);
            break;
        case 1:
            fs::create_directories(path.parent_path(), error);
            writeBytes(path, input.ConsumeRandomLengthString(256));
            break;
        case 2:
            fs::create_directories(path, error);
            writeBytes(path / "entry.lua", "self_ID = \"" + input.ConsumeRandomLengthString(16) +
                                               "\"\n" + input.ConsumeRandomLengthString(128));
            break;
        case 3:
            fs::create_directories(path.parent_path(), error);
            fs::create_symlink(randomPath(input, root), path, error);
            break;
        default:
            fs::create_directories(path.parent_path(), error);
            fs::create_symlink(input.PickValueInArray({".", "..", "../..", "entry.lua"}), path,
                               error);
            break;
        }
    }
}

// Every regular file under the folder, links not followed, by path.
std::map<fs::path, std::string> filesUnder(const fs::path &folder)
{
    std::map<fs::path, std::string> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error) && !it->is_symlink(error)) {
            std::ifstream in(it->path(), std::ios::binary);
            files[it->path()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    return files;
}

std::multiset<std::string> contents(const std::map<fs::path, std::string> &files)
{
    std::multiset<std::string> result;
    for (const auto &[path, bytes] : files)
        result.insert(bytes);
    return result;
}

void checkRecords(const ModCatalogue &catalogue)
{
    bool inTech = false;
    for (const ModRecord &record : catalogue.records()) {
        fuzzCheck(record.installState == isInstalled(record.entryPath),
                  "installState follows the entry file's place");
        const bool tech =
            record.entryPath.native().starts_with(catalogue.roots().techPath.native());
        fuzzCheck(!inTech || tech, "aircraft records come before tech records");
        inTech = tech;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const fs::path root = fuzzScratchFolder() / "tree";
    std::error_code error;
    fs::remove_all(root, error);
    buildTree(input, root);
    const auto before = filesUnder(root);

    try {
        loadCatalogue((root / "mods").string());
    } catch (const fs::filesystem_error &) {
        fuzzCheck(filesUnder(root) == before, "a failed scan changes nothing");
        return 0;
    }
    ModCatalogue &catalogue = *sharedCatalogue;
    for (const ModRecord &record : catalogue.records())
        fuzzCheck(!record.self_ID.empty(), "every listed mod has a self_ID");
    checkRecords(catalogue);

    try {
        uninstallAll(catalogue);
        installAll(catalogue);
        uninstallAll(catalogue);
    } catch (const fs::filesystem_error &) {
    }
    checkRecords(catalogue);
    const auto moved = filesUnder(root);
    fuzzCheck(contents(moved) == contents(before), "moves neither lose nor change a file");

    try {
        importMods(catalogue, root / "src", ModCategory::Aircraft);
    } catch (const fs::filesystem_error &) {
    }
    const auto imported = filesUnder(root);
    for (const auto &[path, bytes] : moved) {
        const auto found = imported.find(path);
        fuzzCheck(found != imported.end() && found->second == bytes,
                  "an import keeps every file that was there");
    }
    sharedCatalogue.reset();
    return 0;
}
