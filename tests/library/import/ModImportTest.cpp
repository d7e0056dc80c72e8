#include "library/import/ModImport.h"

#include "library/catalogue/ModCatalogue.h"
#include "tests/support/PlatformLimits.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <memory>
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

    void import(const fs::path &source, ModCategory category = ModCategory::Aircraft)
    {
        importMods(*load(), source, category);
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
    writeFile(source / "Cased" / "Entry.lua", "self_ID = \"cased\"\n");
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
