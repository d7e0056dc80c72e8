#include "library/import/ModImport.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ImportLeftovers.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/switching/ModInstall.h"
#include "library/platform/NameRules.h"
#include "library/platform/PathText.h"
#include "tests/support/PlatformLimits.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

// A mods folder with both category folders, and a separate folder to import from.
class ModImportTest : public testing::Test
{
protected:
    ModImportTest()
    {
        fs::create_directories(mods / "aircraft");
        fs::create_directories(mods / "tech");
    }

    std::unique_ptr<ModCatalogue> load()
    {
        ModLibraryRoots roots;
        roots.aircraftPath = mods / "aircraft";
        roots.techPath = mods / "tech";
        auto catalogue = std::make_unique<ModCatalogue>(std::move(roots));
        catalogue->reload();
        return catalogue;
    }

    ImportResult import(const fs::path &source, ModCategory category = ModCategory::Aircraft)
    {
        return importMods(*load(), source, category);
    }

    TempDir mods;
    TempDir source;
};

void writeMod(const fs::path &folder, const std::string &selfId)
{
    writeFile(folder / "entry.lua", "self_ID = \"" + selfId + "\"\n");
    writeFile(folder / "Cockpit" / "panel.lua", selfId + " panel");
    writeFile(folder / "Shapes" / "Deep" / "model.edm", std::string(70000, 'x') + selfId);
}

// Every entry below the folder, links not followed, with its contents and time.
std::map<std::string, std::string> snapshot(const fs::path &folder)
{
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder)) {
        const std::string relative = fs::relative(entry.path(), folder).generic_string();
        if (entry.is_symlink())
            entries[relative] = "link";
        else if (entry.is_directory())
            entries[relative] = "folder";
        else
            entries[relative] = readFile(entry.path()) + "@" +
                                std::to_string(entry.last_write_time().time_since_epoch().count());
    }
    return entries;
}

std::map<std::string, std::string> contents(const fs::path &folder)
{
    std::map<std::string, std::string> entries = snapshot(folder);
    for (auto &[name, value] : entries)
        value = value.substr(0, value.rfind('@'));
    return entries;
}

} // namespace

TEST_F(ModImportTest, CopiesEachModFoundAnywhereDirectlyIntoTheCategory)
{
    writeMod(source / "A", "a");
    writeMod(source / "B", "b");
    writeMod(source / "x" / "y" / "C", "c");
    writeMod(source / "A" / "Nested", "nested");
    import(source.path(), ModCategory::Tech);

    EXPECT_TRUE(fs::is_empty(mods / "aircraft"));
    const std::map<std::string, fs::path> found = {{"A", source / "A"},
                                                   {"B", source / "B"},
                                                   {"C", source / "x" / "y" / "C"},
                                                   {"Nested", source / "A" / "Nested"}};
    for (const auto &[name, folder] : found)
        EXPECT_EQ(contents(mods / "tech" / name), contents(folder)) << name;
    std::map<std::string, fs::path> imported;
    for (const fs::directory_entry &entry : fs::directory_iterator(mods / "tech"))
        imported[entry.path().filename().string()] = found.at(entry.path().filename().string());
    EXPECT_EQ(imported, found);
}

// Windows refuses paths of more than 260 characters unless asked not to.
TEST_F(ModImportTest, FilesDeeperThanTheOldPathLimitAreFoundAndCopied)
{
    fs::path deep = fs::path("Cockpit");
    for (int level = 0; deep.native().size() < 300; ++level)
        deep /= "level-" + std::to_string(level) + "-of-a-deep-mod-tree";
    writeMod(source / "outer" / "M", "deep");
    writeFile(source / "outer" / "M" / deep / "gauge.lua", "needle");
    writeMod(source / "outer" / "M" / deep / "Inner", "inner");
    ASSERT_GT((mods / "aircraft" / "M" / deep / "gauge.lua").native().size(), 300u);

    import(source.path());

    EXPECT_EQ(readFile(mods / "aircraft" / "M" / deep / "gauge.lua"), "needle");
    EXPECT_TRUE(fs::exists(mods / "aircraft" / "Inner" / "entry.lua"));
}

TEST_F(ModImportTest, ASingleModFolderWithAnyNameIsCopiedWhole)
{
    for (const char *name : {"Su-27 Фланкер", "歼-10", "plain"}) {
        SCOPED_TRACE(name);
        const fs::path mod =
            source / fs::path(std::u8string(reinterpret_cast<const char8_t *>(name)));
        writeMod(mod, "id");
        import(mod);
        EXPECT_EQ(contents(mods / "aircraft" / mod.filename()), contents(mod));
    }
}

TEST_F(ModImportTest, FoldersWithoutAQualifyingEntryFileImportNothing)
{
    writeFile(source / "Disabled" / "_Z_AzuDavodoz_E_" / "entry.lua", "self_ID = \"off\"\n");
    writeFile(source / "NoId" / "entry.lua", "displayName = \"no id\"\n");
    writeFile(source / "EmptyId" / "entry.lua", "self_ID = \"\"\n");
    fs::create_directories(source / "Folder" / "entry.lua");
    import(source.path());
    EXPECT_TRUE(fs::is_empty(mods / "aircraft"));
}

TEST_F(ModImportTest, ImportingAgainOrANewerVersionKeepsEveryExistingFile)
{
    writeMod(source / "M", "old");
    import(source.path());
    const auto first = snapshot(mods / "aircraft");
    import(source.path());
    EXPECT_EQ(snapshot(mods / "aircraft"), first);

    TempDir newer;
    writeMod(newer / "M", "new");
    writeFile(newer / "M" / "Sounds" / "engine.ogg", "vroom");
    import(newer.path());
    auto expected = first;
    expected["M/Sounds"] = "folder";
    const auto after = snapshot(mods / "aircraft");
    expected["M/Sounds/engine.ogg"] = after.at("M/Sounds/engine.ogg");
    EXPECT_EQ(after, expected);
    EXPECT_EQ(readFile(mods / "aircraft" / "M" / "entry.lua"), "self_ID = \"old\"\n");
}

TEST_F(ModImportTest, LinkCyclesEndTheSearchAndTheCopy)
{
    if (!kCanCreateSymlinks)
        GTEST_SKIP() << kNoSymlinks;
    writeMod(source / "a" / "M", "m");
    fs::create_directory_symlink(source.path(), source / "a" / "up");
    fs::create_directory_symlink("..", source / "a" / "M" / "Cockpit" / "back");
    fs::create_directory_symlink(source / "a", source / "a" / "M" / "side");
    import(source.path());

    const auto copied = contents(mods / "aircraft" / "M");
    EXPECT_EQ(copied.count("Cockpit/panel.lua"), 1U);
    EXPECT_EQ(copied.count("Cockpit/back"), 0U);
    // A link out of the mod is followed once; its way back into the mod is not.
    EXPECT_EQ(copied.count("side/M"), 0U);
    EXPECT_EQ(copied.count("side/up/a"), 0U);
    EXPECT_EQ(copied.count("side/up"), 1U);
}

TEST_F(ModImportTest, ChoosingTheModsFolderNeverCopiesAModOntoItselfOrAgain)
{
    writeMod(mods / "aircraft" / "Listed", "listed");
    auto catalogue = load();
    writeMod(mods / "aircraft" / "Unlisted", "unlisted");
    writeMod(mods / "extra" / "New", "new");
    const auto before = snapshot(mods / "aircraft");

    importMods(*catalogue, mods.path(), ModCategory::Aircraft);
    auto after = snapshot(mods / "aircraft");
    EXPECT_EQ(contents(mods / "aircraft" / "New"), contents(mods / "extra" / "New"));
    for (const auto &[name, value] : before)
        EXPECT_EQ(after[name], value) << name;

    // Listed at exactly this place, so not imported even into the other category.
    importMods(*catalogue, mods / "aircraft", ModCategory::Tech);
    EXPECT_EQ(contents(mods / "tech" / "New"), contents(mods / "extra" / "New"));
    EXPECT_EQ(contents(mods / "tech" / "Unlisted"), contents(mods / "aircraft" / "Unlisted"));
    EXPECT_FALSE(fs::exists(mods / "tech" / "Listed"));
}

TEST_F(ModImportTest, AModFolderHoldingTheCategoryFolderIsNotCopiedIntoItself)
{
    writeMod(mods.path(), "root");
    import(mods.path());
    EXPECT_TRUE(fs::is_empty(mods / "aircraft"));
}

TEST_F(ModImportTest, ADestinationThatIsAFileEndsTheImportKeepingEarlierCopies)
{
    writeMod(source / "P", "p");
    writeMod(source / "Q", "q");
    fs::directory_iterator listing(source.path());
    const fs::path first = listing->path().filename();
    const fs::path second = (++listing)->path().filename();
    writeFile(mods / "aircraft" / second, "a file");
    try {
        import(source.path());
        ADD_FAILURE() << "no error";
    } catch (const fs::filesystem_error &error) {
        EXPECT_NE(std::string(error.what()).find("create_directory"), std::string::npos);
        EXPECT_EQ(error.path1(), mods / "aircraft" / second);
    }
    EXPECT_EQ(contents(mods / "aircraft" / first), contents(source / first));
}

TEST_F(ModImportTest, CopyFailuresNameTheModFolderAndItsDestination)
{
    struct Case
    {
        const char *what;
        const char *operation;
        void (*prepare)(const fs::path &mod, const fs::path &destination);
    };
    const Case cases[] = {
        {"dangling link", "copy",
         [](const fs::path &mod, const fs::path &) {
             fs::create_symlink("missing", mod / "Cockpit" / "broken.lua");
         }},
        {"folder where a file is", "copy",
         [](const fs::path &, const fs::path &destination) {
             fs::create_directories(destination / "Cockpit" / "panel.lua");
         }},
        {"file where a folder is", "copy",
         [](const fs::path &, const fs::path &destination) {
             writeFile(destination / "Shapes", "a file");
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.prepare == cases[0].prepare && !kCanCreateSymlinks) {
            std::cout << "case \"" << c.what << "\" not run: " << kNoSymlinks << '\n';
            continue;
        }
        TempDir from;
        const fs::path mod = from / "M";
        const fs::path destination = mods / "aircraft" / "M";
        fs::remove_all(destination);
        writeMod(mod, "m");
        fs::create_directory(destination);
        c.prepare(mod, destination);
        try {
            import(from.path());
            ADD_FAILURE() << "no error";
        } catch (const fs::filesystem_error &error) {
            EXPECT_NE(std::string(error.what()).find(c.operation), std::string::npos);
            EXPECT_EQ(error.path1(), mod);
            EXPECT_EQ(error.path2(), destination);
        }
    }
}

// A new copy of a switched-off mod once added an entry file beside the stored
// one: the mod was on for good, and switching it off failed for ever.
TEST_F(ModImportTest, ANewCopyOfASwitchedOffModKeepsItOffAndSwitchable)
{
    writeMod(source / "old" / "M", "m");
    import(source / "old");
    auto catalogue = load();
    ASSERT_EQ(catalogue->records().size(), 1U);
    ASSERT_FALSE(uninstallMod(*catalogue, catalogue->records()[0]));
    writeMod(source / "new" / "M", "m");
    writeFile(source / "new" / "M" / "entry.lua", "self_ID = \"m\"\nversion = \"2\"\n");
    writeFile(source / "new" / "M" / "Added.dds", "new file");

    import(source / "new");

    const fs::path mod = mods / "aircraft" / "M";
    EXPECT_FALSE(fs::exists(mod / "entry.lua"));
    EXPECT_EQ(readFile(mod / "Added.dds"), "new file");
    catalogue = load();
    ASSERT_EQ(catalogue->records().size(), 1U);
    ModRecord &record = catalogue->records()[0];
    EXPECT_FALSE(record.installState);
    EXPECT_FALSE(installMod(*catalogue, record));
    EXPECT_FALSE(uninstallMod(*catalogue, record));
}

// A mod holding a link to the user's private files once copied them in.
TEST_F(ModImportTest, LinksLeadingOutOfTheChosenFolderAreReportedAndNotFollowed)
{
    if (!kCanCreateSymlinks)
        GTEST_SKIP() << kNoSymlinks;
    TempDir secret;
    writeFile(secret / "diary.txt", "private");
    writeMod(source / "M", "m");
    writeFile(source / "shared" / "common.dds", "shared texture");
    fs::create_directory_symlink(secret.path(), source / "M" / "textures");
    fs::create_symlink(secret / "diary.txt", source / "M" / "notes.txt");
    fs::create_directory_symlink(source / "shared", source / "M" / "Shared");
    fs::create_directory_symlink(secret.path(), source / "elsewhere");

    const ImportResult result = import(source.path());

    const fs::path mod = mods / "aircraft" / "M";
    EXPECT_FALSE(fs::exists(fs::symlink_status(mod / "textures")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(mod / "notes.txt")));
    EXPECT_EQ(readFile(mod / "Shared" / "common.dds"), "shared texture");
    std::set<std::string> refused;
    for (const ImportRefusal &refusal : result.refused) {
        EXPECT_EQ(refusal.reason, RefusalReason::LinkOutside);
        refused.insert(fs::path(refusal.name).filename().string());
    }
    EXPECT_EQ(refused, (std::set<std::string>{"textures", "notes.txt", "elsewhere"}));
}

// What a killed import leaves (an unpacking folder, a temporary file) goes with
// the next load or import, and is never imported meanwhile.
TEST_F(ModImportTest, LeftoversOfKilledImportsAreSweptAndNeverImported)
{
    writeMod(mods / "aircraft" / "M", "m");
    const fs::path temporary = mods / "aircraft" / "M" / "Shapes" / (std::string(kTemporaryFilePrefix) + "x1");
    const fs::path staging = mods / (std::string(kStagingFolderName) + "-x1");
    const auto leave = [&] {
        writeFile(temporary, "cut sh");
        writeMod(staging / "Half", "half");
        writeFile(mods / kImportMarkerName, "");
    };
    leave();
    loadCatalogue(utf8FromPath(mods.path()));
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_FALSE(fs::exists(staging));
    EXPECT_FALSE(fs::exists(mods / kImportMarkerName));

    // A folder import of the whole mods folder sweeps first; what it cannot
    // sweep it does not import.
    leave();
    writeMod(source / "Other", "other");
    import(mods.path());
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_FALSE(fs::exists(staging));
    EXPECT_FALSE(fs::exists(mods / "aircraft" / "Half"));
    ImportOptions keep;
    keep.sweep = false;
    leave();
    writeFile(source / "Other" / "Shapes" / temporary.filename(), "cut sh");
    importMods(*load(), mods.path(), ModCategory::Tech, keep);
    importMods(*load(), source.path(), ModCategory::Tech, keep);
    EXPECT_FALSE(fs::exists(mods / "tech" / "Half"));
    EXPECT_FALSE(fs::exists(mods / "tech" / "Other" / "Shapes" / temporary.filename()));
    EXPECT_TRUE(fs::exists(mods / "tech" / "Other" / "Shapes" / "Deep" / "model.edm"));
}

// Windows: Entry.lua is the entry file there (the game opens it so), and of
// two names differing only in case the first is kept and the second reported.
// Elsewhere the names are different files and only the exact name counts.
TEST_F(ModImportTest, EntryFilesInAnotherLetterCaseCountWhereNamesFoldCase)
{
    writeFile(source / "Cased" / "Entry.lua", "self_ID = \"cased\"\n");
    import(source.path());
    const auto catalogue = load();
    EXPECT_EQ(fs::exists(mods / "aircraft" / "Cased" / "Entry.lua"), namesFoldCase());
    EXPECT_EQ(catalogue->records().size(), namesFoldCase() ? 1U : 0U);
}

// Each level of the search and the copy takes memory and stack: deeper trees
// are refused by name, not walked.
TEST_F(ModImportTest, FoldersDeeperThanTheImportFollowsAreReportedAndSkipped)
{
    writeMod(source / "M", "m");
    fs::path deep = source / "M";
    for (std::size_t level = 0; level < kDeepestFolder + 1; ++level)
        deep /= "d";
    writeFile(deep / "x.txt", "deep");
    const ImportResult result = import(source.path());
    EXPECT_EQ(readFile(mods / "aircraft" / "M" / "Cockpit" / "panel.lua"), "m panel");
    std::string told;
    for (const ImportRefusal &refusal : result.refused)
        told += refusal.name + " (" + std::to_string(int(refusal.reason)) + ")\n";
    ASSERT_EQ(result.refused.size(), 1U) << told;
    EXPECT_EQ(result.refused[0].reason, RefusalReason::TooDeep);
}
