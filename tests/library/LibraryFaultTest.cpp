// File-system faults produced for real, also when the suite runs as root:
// permission cases as an unprivileged user, link loops, files where folders
// belong, names too long, a full disk, files changed behind the catalogue's
// back. Each test asserts what the user keeps.

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/import/ModImport.h"
#include "library/switching/ModInstall.h"
#include "library/platform/PathText.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/TmpfsMount.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <system_error>
#include <map>
#include <string>

namespace fs = std::filesystem;

#ifndef _WIN32

namespace {

const fs::path kStorage = kStorageFolderName;

// Inside an unprivileged child a failed check ends it with the check's line.
#define CHILD_CHECK(condition)                                                                     \
    do {                                                                                           \
        if (!(condition))                                                                          \
            return __LINE__;                                                                       \
    } while (0)

std::string entryText(const std::string &selfId)
{
    return "self_ID = \"" + selfId + "\"\nversion = \"1.0\"\n";
}

// Every entry below the folder, links not followed: contents, "folder" or the link target.
std::map<std::string, std::string> tree(const fs::path &folder)
{
    std::map<std::string, std::string> entries;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().lexically_relative(folder).generic_string();
        if (it->is_symlink())
            entries[name] = "link to " + fs::read_symlink(it->path()).string();
        else if (it->is_directory())
            entries[name] = "folder";
        else
            entries[name] = readFile(it->path());
    }
    return entries;
}

// The message of the file-system error that `operation` throws; empty when none.
std::string errorOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const fs::filesystem_error &error) {
        return error.what();
    }
    return {};
}

bool names(const std::string &message, const std::string &operation)
{
    return message.find(operation) != std::string::npos;
}

void setMode(const fs::path &path, fs::perms mode)
{
    fs::permissions(path, mode);
}

constexpr auto kReadOnlyFolder = fs::perms::owner_read | fs::perms::owner_exec;

class LibraryFaultTest : public testing::Test
{
protected:
    LibraryFaultTest()
    {
        writeFile(mods / "aircraft" / "A" / "entry.lua", entryText("a"));
        writeFile(mods / "aircraft" / "A" / "Cockpit" / "panel.lua", "panel");
        writeFile(mods / "tech" / "T" / "entry.lua", entryText("t"));
    }

    ~LibraryFaultTest() override
    {
        sharedCatalogue.reset();
    }

    // Runs the body as an unprivileged user owning the test's folder.
    void runAsUnprivileged(const std::function<int()> &body)
    {
        const auto result = runUnprivileged(temp.path(), body);
        if (!result)
            GTEST_SKIP() << "cannot run as an unprivileged user here";
        EXPECT_EQ(*result, 0) << "the check on line " << *result << " failed in the child";
    }

    TempDir temp;
    const fs::path mods = temp / "mods";
    const fs::path source = temp / "source";
};

TEST_F(LibraryFaultTest, UnreadableFoldersFailTheScanAndKeepTheCatalogue)
{
    const auto before = tree(mods);
    runAsUnprivileged([&] {
        loadCatalogue(utf8FromPath(mods));
        const ModCatalogue *loaded = sharedCatalogue.get();
        CHILD_CHECK(loaded->records().size() == 2);

        for (const fs::path &locked : {mods / "tech", mods / "tech" / "T"}) {
            setMode(locked, fs::perms::none);
            CHILD_CHECK(names(errorOf([] { sharedCatalogue->reload(); }),
                              "directory_iterator::directory_iterator"));
            CHILD_CHECK(names(errorOf([&] { loadCatalogue(utf8FromPath(mods)); }),
                              "directory_iterator::directory_iterator"));
            CHILD_CHECK(sharedCatalogue.get() == loaded);
            CHILD_CHECK(loaded->records().size() == 2);
            CHILD_CHECK(loaded->records()[1].get().self_ID == "t");
            setMode(locked, fs::perms::owner_all);
        }

        // An entry file that cannot be read only hides its mod.
        setMode(mods / "tech" / "T" / "entry.lua", fs::perms::none);
        loadCatalogue(utf8FromPath(mods));
        CHILD_CHECK(sharedCatalogue->records().size() == 1);
        setMode(mods / "tech" / "T" / "entry.lua", fs::perms::owner_read | fs::perms::owner_write);
        return 0;
    });
    EXPECT_EQ(tree(mods), before);
}

TEST_F(LibraryFaultTest, ReadOnlyModFoldersRefuseMovesAndKeepEveryFile)
{
    writeFile(mods / "aircraft" / "B" / kStorage / "entry.lua", entryText("b"));
    writeFile(mods / "aircraft" / "C" / "entry.lua", entryText("c"));
    fs::create_directories(mods / "aircraft" / "C" / kStorage);
    const auto before = tree(mods);
    const fs::path output = temp / "output.txt";
    runAsUnprivileged([&] {
        CHILD_CHECK(std::freopen(output.c_str(), "w", stdout));
        loadCatalogue(utf8FromPath(mods));
        auto records = sharedCatalogue->records();
        CHILD_CHECK(records.size() == 4);
        setMode(mods / "aircraft" / "A", kReadOnlyFolder);
        setMode(mods / "aircraft" / "B" / kStorage, kReadOnlyFolder);
        setMode(mods / "aircraft" / "C" / kStorage, kReadOnlyFolder);

        // Records in listing order; find each by its identifier.
        for (ModRecord &record : records) {
            const ModRecord was = record;
            if (record.self_ID == "a")
                CHILD_CHECK(names(errorOf([&] { uninstallMod(*sharedCatalogue, record); }),
                                  "create_directories"));
            else if (record.self_ID == "b")
                installMod(*sharedCatalogue, record);
            else if (record.self_ID == "c")
                uninstallMod(*sharedCatalogue, record);
            else
                continue;
            CHILD_CHECK(record.entryPath == was.entryPath);
            CHILD_CHECK(record.installState == was.installState);
        }
        std::fflush(stdout);
        for (const fs::path &folder : {mods / "aircraft" / "A", mods / "aircraft" / "B" / kStorage,
                                       mods / "aircraft" / "C" / kStorage})
            setMode(folder, fs::perms::owner_all);
        return 0;
    });
    EXPECT_EQ(tree(mods), before);
    const std::string printed = readFile(output);
    EXPECT_EQ(printed, "failed with error code: 13\nfailed with error code: 13\n");
}

TEST_F(LibraryFaultTest, ImportIntoAReadOnlyCategoryOrFromAnUnreadableFolderKeepsTheSource)
{
    writeFile(source / "M" / "entry.lua", entryText("m"));
    writeFile(source / "M" / "Shapes" / "model.edm", std::string(50000, 'm'));
    fs::create_directories(source / "Locked" / "Inner");
    const auto sourceBefore = tree(source);
    const auto modsBefore = tree(mods);
    runAsUnprivileged([&] {
        loadCatalogue(utf8FromPath(mods));
        setMode(mods / "aircraft", kReadOnlyFolder);
        CHILD_CHECK(
            names(errorOf([&] { importMods(*sharedCatalogue, source, ModCategory::Aircraft); }),
                  "create_directory"));
        setMode(mods / "aircraft", fs::perms::owner_all);
        CHILD_CHECK(tree(mods) == modsBefore);

        setMode(source / "Locked", fs::perms::none);
        CHILD_CHECK(names(errorOf([&] { importMods(*sharedCatalogue, source, ModCategory::Tech); }),
                          "directory_iterator::directory_iterator"));
        setMode(source / "Locked", fs::perms::owner_all);
        return 0;
    });
    EXPECT_EQ(tree(source), sourceBefore);
    // Whatever came across before the error is whole.
    for (const auto &[name, bytes] : tree(mods / "tech")) {
        if (name.starts_with("M")) {
            EXPECT_EQ(bytes, sourceBefore.at(name)) << name;
        }
    }
}

struct CategoryFault
{
    const char *name;
    std::function<void(const fs::path &mods)> inflict;
    const char *operation;
};

void PrintTo(const CategoryFault &fault, std::ostream *out)
{
    *out << fault.name;
}

class CategoryFaultTest : public testing::TestWithParam<CategoryFault>
{
};

TEST_P(CategoryFaultTest, FailsLoadAndReloadAndKeepsTheCatalogue)
{
    TempDir temp;
    const fs::path mods = temp / "mods";
    writeFile(mods / "tech" / "T" / "entry.lua", entryText("t"));
    loadCatalogue(utf8FromPath(mods));
    const ModCatalogue *loaded = sharedCatalogue.get();

    GetParam().inflict(mods);
    const auto before = tree(mods);
    EXPECT_TRUE(names(errorOf([] { sharedCatalogue->reload(); }), GetParam().operation));
    EXPECT_TRUE(names(errorOf([&] { loadCatalogue(utf8FromPath(mods)); }), GetParam().operation));
    EXPECT_EQ(sharedCatalogue.get(), loaded);
    ASSERT_EQ(loaded->records().size(), 1U);
    EXPECT_EQ(loaded->records()[0].get().self_ID, "t");
    EXPECT_EQ(tree(mods), before);
    sharedCatalogue.reset();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CategoryFaultTest,
    testing::Values(
        CategoryFault{"CategoryIsAFile",
                      [](const fs::path &mods) { writeFile(mods / "aircraft", "not a folder"); },
                      "directory_iterator::directory_iterator"},
        CategoryFault{
            "CategoryIsALinkLoop",
            [](const fs::path &mods) { fs::create_symlink("aircraft", mods / "aircraft"); },
            "exists"},
        CategoryFault{"CandidateIsALinkLoop",
                      [](const fs::path &mods) {
                          fs::create_directories(mods / "aircraft");
                          fs::create_symlink("Loop", mods / "aircraft" / "Loop");
                      },
                      "status"},
        CategoryFault{"StorageFolderIsALinkLoop",
                      [](const fs::path &mods) {
                          fs::create_directories(mods / "aircraft" / "M");
                          fs::create_symlink(kStorageFolderName,
                                             mods / "aircraft" / "M" / kStorageFolderName);
                      },
                      "exists"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(LibraryFaultTest, NamesTooLongFailCleanly)
{
    const std::string tooLong(300, 'n');
    const auto before = tree(temp.path());
    loadCatalogue(utf8FromPath(mods));
    const ModCatalogue *loaded = sharedCatalogue.get();

    EXPECT_TRUE(names(errorOf([&] { loadCatalogue(utf8FromPath(mods / tooLong)); }), "exists"));
    EXPECT_EQ(sharedCatalogue.get(), loaded);
    EXPECT_TRUE(names(errorOf([&] { importMods(*loaded, temp / tooLong, ModCategory::Aircraft); }),
                      "status"));

    testing::internal::CaptureStdout();
    EXPECT_FALSE(moveFile(mods / "aircraft" / "A" / "entry.lua", mods / "aircraft" / tooLong));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "failed with error code: 36\n");
    EXPECT_EQ(tree(temp.path()), before);
}

TEST_F(LibraryFaultTest, EntryFilesChangedAfterTheScanLoseNothing)
{
    writeFile(mods / "aircraft" / "B" / "entry.lua", entryText("b"));
    writeFile(mods / "aircraft" / "C" / "entry.lua", entryText("c"));
    loadCatalogue(utf8FromPath(mods));
    auto records = sharedCatalogue->records();
    ASSERT_EQ(records.size(), 4U);

    // One entry file deleted, one turned into a folder with something in it.
    fs::remove(records[0].get().entryPath);
    const fs::path turned = records[1].get().entryPath;
    fs::remove(turned);
    writeFile(turned / "kept.txt", "kept");
    const auto before = tree(mods);
    const std::string deletedSelfId = records[0].get().self_ID;

    testing::internal::CaptureStdout();
    uninstallAll(*sharedCatalogue);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "failed with error code: 2\n");
    EXPECT_TRUE(records[0].get().installState);
    EXPECT_EQ(records[0].get().self_ID, deletedSelfId);
    EXPECT_FALSE(records[2].get().installState);
    EXPECT_FALSE(records[3].get().installState);

    // The folder moved like a file; its content is where the move put it.
    const fs::path movedFolder = turned.parent_path() / kStorage / "entry.lua";
    EXPECT_EQ(
        readFile(fs::is_directory(movedFolder) ? movedFolder / "kept.txt" : turned / "kept.txt"),
        "kept");

    testing::internal::CaptureStdout();
    installAll(*sharedCatalogue);
    testing::internal::GetCapturedStdout();
    std::map<std::string, std::string> after = tree(mods);
    for (auto it = after.begin(); it != after.end();)
        it = it->first.find(kStorageFolderName) != std::string::npos && it->second == "folder"
                 ? after.erase(it)
                 : std::next(it);
    EXPECT_EQ(after, before);
}

TEST_F(LibraryFaultTest, AFullDiskKeepsEveryFileWhole)
{
    TmpfsMount disk(temp / "disk", 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";
    const fs::path small = temp / "disk" / "mods";
    writeFile(small / "aircraft" / "A" / "entry.lua", entryText("a"));
    fs::create_directories(small / "tech");
    writeFile(source / "Big" / "entry.lua", entryText("big"));
    for (int i = 0; i < 4; ++i)
        writeFile(source / "Big" / ("part" + std::to_string(i)),
                  std::string(100000, char('0' + i)));
    loadCatalogue(utf8FromPath(small));
    disk.fill();
    const auto sourceBefore = tree(source);

    testing::internal::CaptureStdout();
    const std::string disableError = errorOf([] { uninstallAll(*sharedCatalogue); });
    testing::internal::GetCapturedStdout();
    const ModRecord &record = sharedCatalogue->records()[0];
    EXPECT_EQ(readFile(record.entryPath), entryText("a")) << disableError;
    EXPECT_EQ(record.installState, isInstalled(record.entryPath));

    const std::string importError =
        errorOf([&] { importMods(*sharedCatalogue, source, ModCategory::Tech); });
    EXPECT_TRUE(names(importError, "copy")) << importError;
    // Said as a full disk, not as an input/output error.
    EXPECT_NE(importError.find(std::make_error_code(std::errc::no_space_on_device).message()),
              std::string::npos)
        << importError;
    EXPECT_EQ(tree(source), sourceBefore);
}

TEST_F(LibraryFaultTest, AnEntryFileThatIsAFolderIsSearchedButNeverImported)
{
    writeFile(source / "M" / "entry.lua" / "notes.txt", "self_ID = \"inside\"\n");
    writeFile(source / "N" / "entry.lua" / "entry.lua", entryText("nested"));
    const auto sourceBefore = tree(source);
    loadCatalogue(utf8FromPath(mods));
    importMods(*sharedCatalogue, source, ModCategory::Aircraft);
    EXPECT_EQ(tree(source), sourceBefore);
    // Only the real entry file counts; its folder, named like one, is the mod.
    EXPECT_FALSE(fs::exists(mods / "aircraft" / "M"));
    EXPECT_FALSE(fs::exists(mods / "aircraft" / "N"));
    EXPECT_EQ(readFile(mods / "aircraft" / "entry.lua" / "entry.lua"), entryText("nested"));
}

// A copy cut short by a full disk must not leave a truncated file behind:
// skip-existing would keep it for good and the mod would stay broken. Disabled
// until the import removes what a failed file copy wrote.
TEST_F(LibraryFaultTest, AnImportCutShortByAFullDiskCompletesLater)
{
    TmpfsMount disk(temp / "disk", 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";
    const fs::path small = temp / "disk" / "mods";
    fs::create_directories(small / "aircraft");
    fs::create_directories(small / "tech");
    writeFile(source / "Big" / "entry.lua", entryText("big"));
    for (int i = 0; i < 4; ++i)
        writeFile(source / "Big" / ("part" + std::to_string(i)),
                  std::string(100000, char('0' + i)));
    loadCatalogue(utf8FromPath(small));
    disk.fill();
    EXPECT_TRUE(
        names(errorOf([&] { importMods(*sharedCatalogue, source, ModCategory::Tech); }), "copy"));

    fs::remove(temp / "disk" / ".filler");
    importMods(*sharedCatalogue, source, ModCategory::Tech);
    for (const auto &[name, bytes] : tree(source / "Big"))
        EXPECT_TRUE(readFile(small / "tech" / "Big" / name) == bytes) << name << " differs";
}

} // namespace

#endif
