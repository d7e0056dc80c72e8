#include "library/catalogue/ModCatalogue.h"

#include "library/catalogue/Constants.h"
#include "library/platform/PathText.h"
#include "tests/support/PlatformLimits.h"
#include "tests/support/TempDir.h"
#include "tests/support/VfatMount.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kStorage = kStorageFolderName;

#ifdef _WIN32
constexpr bool kNamesFoldCase = true;
#else
constexpr bool kNamesFoldCase = false;
#endif

std::string entry(const std::string &selfId)
{
    return "declare_plugin(\"" + selfId + "\",\n{\n\tdisplayName = _(\"" + selfId +
           " name\"),\n\tversion = \"1.0\",\n})\n";
}

// One thing to put into a mods folder: a file (with content), a folder, or a
// symbolic link (target, then link path relative to the mods folder).
struct Item
{
    enum Kind
    {
        File,
        Folder,
        Link
    } kind;
    std::string path;
    std::string content;
};

void build(const fs::path &root, const std::vector<Item> &items)
{
    for (const Item &item : items) {
        switch (item.kind) {
        case Item::File:
            writeFile(root / item.path, item.content);
            break;
        case Item::Folder:
            fs::create_directories(root / item.path);
            break;
        case Item::Link:
            fs::create_directories((root / item.path).parent_path());
            fs::create_symlink(item.content, root / item.path);
            break;
        }
    }
}

// "relative entry path|self_ID|enabled or disabled", aircraft first, each
// category sorted so that cases need not know the listing order.
std::vector<std::string> describe(const fs::path &root)
{
    std::vector<std::string> result;
    for (const ModRecord &record : sharedCatalogue->records())
        result.push_back(record.entryPath.lexically_relative(root).generic_string() + "|" +
                         record.self_ID + (record.installState ? "|enabled" : "|disabled"));
    const auto isAircraft = [](const std::string &text) { return text.rfind("aircraft/", 0) == 0; };
    EXPECT_TRUE(std::is_partitioned(result.begin(), result.end(), isAircraft));
    const auto techStart = std::partition_point(result.begin(), result.end(), isAircraft);
    std::sort(result.begin(), techStart);
    std::sort(techStart, result.end());
    return result;
}

bool holdsLinks(const std::vector<Item> &items)
{
    return std::any_of(items.begin(), items.end(),
                       [](const Item &item) { return item.kind == Item::Link; });
}

struct ScanCase
{
    const char *name;
    std::vector<Item> items;
    std::vector<std::string> expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ScanCase &value, std::ostream *out)
{
    *out << value.name;
}

class ScanCases : public testing::TestWithParam<ScanCase>
{
};

TEST_P(ScanCases, GiveTheExpectedRecords)
{
    if (holdsLinks(GetParam().items) && !kCanCreateSymlinks)
        GTEST_SKIP() << kNoSymlinks;
    TempDir root;
    build(root.path(), GetParam().items);
    loadCatalogue(utf8FromPath(root.path()));
    ASSERT_TRUE(sharedCatalogue);
    EXPECT_EQ(describe(root.path()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ScanCases,
    testing::Values(
        ScanCase{"NoCategoryFolders", {{Item::Folder, "other/M", ""}}, {}},
        ScanCase{
            "CategoryHoldsOnlyFiles",
            {{Item::File, "aircraft/entry.lua", entry("a")}, {Item::File, "tech/readme.txt", ""}},
            {}},
        ScanCase{"DirectAndStoredEntry",
                 {{Item::File, "aircraft/M/entry.lua", entry("direct")},
                  {Item::File, "aircraft/M/" + kStorage + "/entry.lua", entry("stored")}},
                 {"aircraft/M/entry.lua|direct|enabled"}},
        ScanCase{"OnlyStoredEntry",
                 {{Item::File, "tech/M/" + kStorage + "/entry.lua", entry("stored")}},
                 {"tech/M/" + kStorage + "/entry.lua|stored|disabled"}},
        // Windows opens Entry.lua as entry.lua, and so does the game there.
        ScanCase{"NameDifferingInCase",
                 {{Item::File, "aircraft/M/Entry.lua", entry("a")},
                  {Item::File, "aircraft/N/" + kStorage + "/ENTRY.LUA", entry("b")}},
                 kNamesFoldCase ? std::vector<std::string>{"aircraft/M/Entry.lua|a|enabled",
                                                           "aircraft/N/" + kStorage + "/ENTRY.LUA|b|disabled"}
                                : std::vector<std::string>{}},
        ScanCase{"SubFolderNamedEntryFile",
                 {{Item::Folder, "aircraft/M/entry.lua", ""},
                  {Item::File, "aircraft/M/" + kStorage + "/entry.lua", entry("stored")}},
                 {}},
        ScanCase{"NestedModsNotFound",
                 {{Item::File, "aircraft/M/inner/entry.lua", entry("inner")},
                  {Item::File, "aircraft/M/inner/" + kStorage + "/entry.lua", entry("deep")},
                  {Item::File, "entry.lua", entry("top")}},
                 {}},
        ScanCase{
            "StorageNameThatIsAFile", {{Item::File, "aircraft/M/" + kStorage, entry("file")}}, {}},
        ScanCase{"LinkToFolderIsACandidate",
                 {{Item::File, "elsewhere/Mod/entry.lua", entry("linked")},
                  {Item::Link, "aircraft/Link", "../elsewhere/Mod"}},
                 {"aircraft/Link/entry.lua|linked|enabled"}},
        ScanCase{"BrokenLinkIsPassedOver", {{Item::Link, "tech/Broken", "../nowhere"}}, {}},
        // An entry file found by opening it would miss these; they are read by their path.
        ScanCase{"EntryFileThatIsALink",
                 {{Item::File, "elsewhere/real.lua", entry("through")},
                  {Item::Link, "aircraft/M/entry.lua", "../../elsewhere/real.lua"},
                  {Item::Link, "aircraft/N/entry.lua", "../../nowhere.lua"}},
                 {"aircraft/M/entry.lua|through|enabled"}},
        ScanCase{"StorageFolderDirectlyInCategory",
                 {{Item::File, "tech/" + kStorage + "/entry.lua", entry("odd")}},
                 {"tech/" + kStorage + "/entry.lua|odd|disabled"}},
        ScanCase{"AircraftBeforeTech",
                 {{Item::File, "tech/T1/entry.lua", entry("t1")},
                  {Item::File, "tech/T2/entry.lua", entry("t2")},
                  {Item::File, "aircraft/A1/entry.lua", entry("a1")},
                  {Item::File, "aircraft/A2/" + kStorage + "/entry.lua", entry("a2")}},
                 {"aircraft/A1/entry.lua|a1|enabled",
                  "aircraft/A2/" + kStorage + "/entry.lua|a2|disabled",
                  "tech/T1/entry.lua|t1|enabled", "tech/T2/entry.lua|t2|enabled"}},
        ScanCase{"DuplicateSelfIds",
                 {{Item::File, "aircraft/A/entry.lua", entry("same")},
                  {Item::File, "aircraft/B/entry.lua", entry("same")}},
                 {"aircraft/A/entry.lua|same|enabled", "aircraft/B/entry.lua|same|enabled"}},
        // Text mode on Windows would end the file at the Ctrl-Z byte.
        ScanCase{"CtrlZByteBeforeSelfId",
                 {{Item::File, "aircraft/M/entry.lua", "-- note\r\n\x1A\r\nself_ID = \"z\"\r\n"}},
                 {"aircraft/M/entry.lua|z|enabled"}},
        ScanCase{"EmptyFirstSelfId",
                 {{Item::File, "aircraft/A/entry.lua", "self_ID = \"\"\nself_ID = \"late\"\n"},
                  {Item::File, "aircraft/B/entry.lua", "displayName = \"no id\"\n"}},
                 {}}),
    [](const testing::TestParamInfo<ScanCase> &info) { return std::string(info.param.name); });

#ifndef _WIN32
// A pipe by the entry file's name must not hang the load, nor a link to a
// device that never ends take all memory; neither gives a record.
TEST(ModCatalogueTest, PipesAndEndlessDevicesNamedLikeTheEntryFileGiveNoRecord)
{
    TempDir root;
    writeFile(root / "aircraft" / "A" / "entry.lua", entry("a"));
    fs::create_directories(root / "aircraft" / "P");
    ASSERT_EQ(::mkfifo((root / "aircraft" / "P" / "entry.lua").c_str(), 0600), 0);
    fs::create_directories(root / "aircraft" / "Z");
    fs::create_symlink("/dev/zero", root / "aircraft" / "Z" / "entry.lua");
    loadCatalogue(utf8FromPath(root.path()));
    ASSERT_EQ(sharedCatalogue->records().size(), 1u);
    EXPECT_EQ(sharedCatalogue->records()[0].get().self_ID, "a");
    EXPECT_EQ(sharedCatalogue->roots().aircraftEntries.size(), 3u);
}
#endif

// The quick look-up by name would find Entry.lua there; only the exact name may count.
TEST(ModCatalogueTest, OnAFileSystemIgnoringCaseOnlyTheExactNameCounts)
{
    TempDir temp;
    const VfatMount disk(temp / "vfat");
    if (!disk.mounted())
        GTEST_SKIP() << "no case-folding file system here: " << disk.whyNot();
    build(disk.path(), {{Item::File, "aircraft/Upper/Entry.lua", entry("upper")},
                        {Item::File, "aircraft/Exact/entry.lua", entry("exact")},
                        {Item::File, "tech/Stored/" + kStorage + "/ENTRY.LUA", entry("stored")},
                        {Item::File, "tech/Both/Entry.lua", entry("both-direct")},
                        {Item::File, "tech/Both/" + kStorage + "/entry.lua", entry("both")}});
    loadCatalogue(utf8FromPath(disk.path()));
    ASSERT_TRUE(sharedCatalogue);
    EXPECT_EQ(describe(disk.path()),
              (std::vector<std::string>{"aircraft/Exact/entry.lua|exact|enabled",
                                        "tech/Both/" + kStorage + "/entry.lua|both|disabled"}));
}

TEST(ModCatalogueTest, RecordsFollowTheListingOrderAndHoldEveryValue)
{
    TempDir root;
    for (int i = 0; i < 40; ++i)
        writeFile(root / "aircraft" / ("mod" + std::to_string(i)) / "entry.lua",
                  "self_ID = \"id" + std::to_string(i) +
                      "\"\ndisplayName = \"Display\"\nshortName = \"Short\"\n"
                      "developerName = _(\"Dev\")\nversion = 2.10.3\n");
    std::vector<fs::path> listed;
    for (const fs::directory_entry &mod : fs::directory_iterator(root / "aircraft"))
        listed.push_back(mod.path() / "entry.lua");

    loadCatalogue(utf8FromPath(root.path()));
    const auto records = sharedCatalogue->records();
    ASSERT_EQ(records.size(), listed.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ModRecord &record = records[i];
        EXPECT_EQ(record.entryPath, listed[i]);
        EXPECT_EQ(record.displayName, "Display");
        EXPECT_EQ(record.shortName, "Short");
        EXPECT_EQ(record.developerName, "Dev");
        EXPECT_EQ(record.version, "2.10.3");
        EXPECT_TRUE(record.installState);
        EXPECT_EQ(record.modFolder(), listed[i].parent_path());
    }
    EXPECT_EQ(sharedCatalogue->roots().aircraftEntries, listed);
    EXPECT_TRUE(sharedCatalogue->roots().techEntries.empty());
}

TEST(ModCatalogueTest, DirectoryTextIsUtf8AndMayBeEmptyOrEndInASeparator)
{
    TempDir root;
    const fs::path mods = root / pathFromUtf8("Моды 飞行");
    writeFile(mods / "tech" / "M" / "entry.lua", entry("t"));

    loadCatalogue(utf8FromPath(mods) + "/");
    EXPECT_EQ(sharedCatalogue->roots().techPath, mods / "tech");
    EXPECT_EQ(describe(mods), std::vector<std::string>{"tech/M/entry.lua|t|enabled"});

    WorkingDirectoryScope workingDirectory(mods);
    loadCatalogue("");
    EXPECT_EQ(sharedCatalogue->roots().aircraftPath, fs::path("aircraft"));
    ASSERT_EQ(sharedCatalogue->records().size(), 1u);
    EXPECT_EQ(sharedCatalogue->records()[0].get().entryPath, fs::path("tech/M/entry.lua"));
}

TEST(ModCatalogueTest, InstalledTestAndModFolderArePurelyLexical)
{
    const fs::path disabled = fs::path("mods") / "aircraft" / "M" / kStorage / "entry.lua";
    const fs::path enabled = fs::path("mods") / "aircraft" / "M" / "entry.lua";
    EXPECT_FALSE(isInstalled(disabled));
    EXPECT_TRUE(isInstalled(enabled));
    EXPECT_TRUE(isInstalled(fs::path("M") / "_z_azudavodoz_e_" / "entry.lua"));
    EXPECT_EQ((ModRecord{disabled, "id", "", "", "", "", false}.modFolder()),
              enabled.parent_path());
    EXPECT_EQ((ModRecord{enabled, "id", "", "", "", "", true}.modFolder()), enabled.parent_path());
}

struct FailureCase
{
    const char *name;
    std::vector<Item> items;
    const char *operation;
    std::string failedPath;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailureCase &value, std::ostream *out)
{
    *out << value.name;
}

class ScanFailures : public testing::TestWithParam<FailureCase>
{
};

// Faults that root meets too: link loops, and a file where a folder is expected.
TEST_P(ScanFailures, FailTheLoadAsAWholeAndKeepTheSharedCatalogue)
{
    if (holdsLinks(GetParam().items) && !kCanCreateSymlinks)
        GTEST_SKIP() << kNoSymlinks;
    TempDir previousRoot;
    writeFile(previousRoot / "aircraft" / "Kept" / "entry.lua", entry("kept"));
    loadCatalogue(utf8FromPath(previousRoot.path()));
    const ModCatalogue *previous = sharedCatalogue.get();

    TempDir root;
    writeFile(root / "aircraft" / "Fine" / "entry.lua", entry("fine"));
    build(root.path(), GetParam().items);
    try {
        loadCatalogue(utf8FromPath(root.path()));
        ADD_FAILURE() << "the load did not fail";
    } catch (const fs::filesystem_error &error) {
        EXPECT_EQ(error.path1(), root / GetParam().failedPath);
        EXPECT_NE(std::string(error.what()).find(std::string(GetParam().operation) + ":"),
                  std::string::npos)
            << error.what();
        EXPECT_NE(std::string(error.what()).find(error.code().message()), std::string::npos);
    }
    EXPECT_EQ(sharedCatalogue.get(), previous);
    ASSERT_EQ(sharedCatalogue->records().size(), 1u);
    EXPECT_EQ(sharedCatalogue->records()[0].get().self_ID, "kept");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ScanFailures,
    testing::Values(
        FailureCase{
            "CandidateLinkLoop", {{Item::Link, "tech/Loop", "Loop"}}, "status", "tech/Loop"},
        FailureCase{"CategoryLinkLoop", {{Item::Link, "tech", "tech"}}, "exists", "tech"},
        FailureCase{"StorageLinkLoop",
                    {{Item::Link, "tech/M/" + kStorage, kStorage}},
                    "exists",
                    "tech/M/" + kStorage},
        FailureCase{"CategoryIsAFile",
                    {{Item::File, "tech", "not a folder"}},
                    "directory_iterator::directory_iterator",
                    "tech"}),
    [](const testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });

TEST(ModCatalogueTest, LinkLoopMessageNamesTheOperationAndTheSystemError)
{
    if (!kCanCreateSymlinks)
        GTEST_SKIP() << kNoSymlinks;
    TempDir root;
    fs::create_directories(root / "aircraft");
    fs::create_symlink("Loop", root / "aircraft" / "Loop");
    try {
        loadCatalogue(utf8FromPath(root.path()));
        FAIL() << "the load did not fail";
    } catch (const fs::filesystem_error &error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("status"), std::string::npos) << message;
        EXPECT_NE(message.find("Too many levels of symbolic links"), std::string::npos) << message;
    }
}

TEST(ModCatalogueTest, ReloadReplacesRecordsAndAFailedReloadKeepsThem)
{
    TempDir root;
    writeFile(root / "aircraft" / "A" / "entry.lua", entry("a"));
    loadCatalogue(utf8FromPath(root.path()));
    ModCatalogue &catalogue = *sharedCatalogue;

    writeFile(root / "tech" / "T" / "entry.lua", entry("t"));
    catalogue.reload();
    EXPECT_EQ(describe(root.path()), (std::vector<std::string>{"aircraft/A/entry.lua|a|enabled",
                                                               "tech/T/entry.lua|t|enabled"}));

    const auto before = catalogue.records();
    const ModLibraryRoots rootsBefore = catalogue.roots();
    writeFile(root / "aircraft" / "B" / "entry.lua", entry("b"));
    if (!kCanCreateSymlinks)
        GTEST_SKIP() << kNoSymlinks;
    fs::create_symlink("Loop", root / "tech" / "Loop");
    EXPECT_THROW(catalogue.reload(), fs::filesystem_error);
    const auto after = catalogue.records();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(&after[i].get(), &before[i].get());
    EXPECT_EQ(catalogue.roots().aircraftEntries, rootsBefore.aircraftEntries);
    EXPECT_EQ(catalogue.roots().techEntries, rootsBefore.techEntries);

    // Rebuilding reuses the last lists: the new mod B waits for a successful reload.
    catalogue.rebuildRecords();
    EXPECT_EQ(catalogue.records().size(), 2u);
}

TEST(ModCatalogueTest, RefreshRecordRereadsInPlaceAndKeepsARecordWithoutSelfId)
{
    TempDir root;
    const fs::path modFolder = root / "aircraft" / "M";
    writeFile(modFolder / "entry.lua", entry("m"));
    loadCatalogue(utf8FromPath(root.path()));
    ModRecord &record = sharedCatalogue->records().at(0);

    fs::create_directories(modFolder / kStorage);
    fs::rename(modFolder / "entry.lua", modFolder / kStorage / "entry.lua");
    record.entryPath = modFolder / kStorage / "entry.lua";
    writeFile(record.entryPath, "shortName = \"S\"\n");
    sharedCatalogue->refreshRecord(record);
    EXPECT_EQ(&sharedCatalogue->records().at(0).get(), &record);
    EXPECT_FALSE(record.installState);
    EXPECT_EQ(record.self_ID, "");
    EXPECT_EQ(record.shortName, "S");
    EXPECT_EQ(record.displayName, "");
    EXPECT_EQ(record.modFolder(), modFolder);
}

} // namespace
