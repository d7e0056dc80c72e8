#include "library/import/ModArchive.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/platform/NameRules.h"
#include "library/platform/PathText.h"
#include "tests/support/ArchiveWriter.h"
#include "tests/support/TempDir.h"
#include "tests/support/TmpfsMount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string entryText(const std::string &selfId)
{
    return "self_ID = \"" + selfId + "\"\n";
}

// Data that does not compress, so that sizes on disk are what they say.
std::string noise(std::size_t size)
{
    std::mt19937 generator(7);
    std::string bytes(size, '\0');
    for (char &byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

// Every entry below the folder with its contents ("folder" for folders).
std::map<std::string, std::string> tree(const fs::path &folder)
{
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder))
        entries[utf8FromPath(entry.path().lexically_relative(folder).generic_u8string())] =
            entry.is_directory() ? "folder" : readFile(entry.path());
    return entries;
}

// Replaces every occurrence of an ASCII stand-in by raw name bytes: zips whose
// names are in a Windows code page, which no writer here produces.
void patch(const fs::path &file, const std::string &standIn, const std::string &bytes)
{
    ASSERT_EQ(standIn.size(), bytes.size());
    std::string content = readFile(file);
    for (std::size_t at = content.find(standIn); at != std::string::npos;
         at = content.find(standIn, at))
        content.replace(at, standIn.size(), bytes);
    writeFile(file, content);
}

class ModArchiveTest : public testing::Test
{
protected:
    ModArchiveTest()
    {
        fs::create_directories(mods / "aircraft");
        fs::create_directories(mods / "tech");
    }

    ImportResult import(const fs::path &archive, ImportProgress *progress = nullptr,
                        const ArchiveLimits &limits = {})
    {
        ModLibraryRoots roots;
        roots.aircraftPath = mods / "aircraft";
        roots.techPath = mods / "tech";
        ModCatalogue catalogue(std::move(roots));
        catalogue.reload();
        return importArchive(catalogue, archive, ModCategory::Aircraft, progress, limits);
    }

    // Only the two category folders, whatever the import did.
    void expectNoStaging()
    {
        std::set<std::string> top;
        for (const fs::directory_entry &entry : fs::directory_iterator(mods.path()))
            top.insert(utf8FromPath(entry.path().filename()));
        EXPECT_EQ(top, (std::set<std::string>{"aircraft", "tech"}));
    }

    TempDir mods;
    TempDir source;
};

struct GoodCase
{
    const char *what;
    ArchiveKind kind;
    const char *archiveName;
    std::vector<ArchiveEntry> entries;
    std::vector<const char *> expectedMods; // UTF-8 folder names in the category
    std::string standIn;                    // replaced in the zip by `rawName`
    std::string rawName;
};

TEST_F(ModArchiveTest, GoodArchivesImportLikeAFolder)
{
    const std::string body = noise(50000);
    const std::vector<GoodCase> cases = {
        {"one mod, zip",
         ArchiveKind::Zip,
         "one.zip",
         {{"Kestrel/entry.lua", entryText("k")}, {"Kestrel/Shapes/body.edm", body}},
         {"Kestrel"},
         "",
         ""},
        {"several mods, 7z",
         ArchiveKind::SevenZip,
         "several.7z",
         {{"A/entry.lua", entryText("a")}, {"B/entry.lua", entryText("b")}, {"B/x.dds", body}},
         {"A", "B"},
         "",
         ""},
        {"three levels down, tar.gz",
         ArchiveKind::TarGz,
         "deep.tar.gz",
         {{"x/y/M/entry.lua", entryText("m")}, {"x/y/M/Sounds/engine.ogg", body}},
         {"M"},
         "",
         ""},
        {"mod at the top, named after the archive",
         ArchiveKind::Zip,
         "Flat-Mod.zip",
         {{"entry.lua", entryText("flat")}, {"Cockpit/panel.lua", "panel"}},
         {"Flat-Mod"},
         "",
         ""},
        {"a mod inside a mod",
         ArchiveKind::Zip,
         "nested.zip",
         {{"Outer/entry.lua", entryText("outer")}, {"Outer/Inner/entry.lua", entryText("inner")}},
         {"Outer", "Inner"},
         "",
         ""},
        {"disabled only", ArchiveKind::Zip, "off.zip",
         {{"D/_Z_AzuDavodoz_E_/entry.lua", entryText("d")}}, {}, "", ""},
        {"UTF-8 flag",
         ArchiveKind::Zip,
         "utf8.zip",
         {{"Су-27 Фланкер/entry.lua", entryText("su")}, {"歼-10/entry.lua", entryText("j")}},
         {"Су-27 Фланкер", "歼-10"},
         "",
         ""},
        {"GBK from Chinese Windows",
         ArchiveKind::Zip,
         "gbk.zip",
         {{"ZZZZZZZZ/entry.lua", entryText("zh")}},
         {"中文模组"},
         "ZZZZZZZZ",
         "\xD6\xD0\xCE\xC4\xC4\xA3\xD7\xE9"},
        {"CP866 from Russian Windows",
         ArchiveKind::Zip,
         "cp866.zip",
         {{"ZZZZZZ/entry.lua", entryText("ru")}},
         {"Привет"},
         "ZZZZZZ",
         "\x8F\xE0\xA8\xA2\xA5\xE2"},
        {"CP1251 from Russian Windows",
         ArchiveKind::Zip,
         "cp1251.zip",
         {{"ZZZZZZZZZZ/entry.lua", entryText("ru")}},
         {"Привет мир"},
         "ZZZZZZZZZZ",
         "\xCF\xF0\xE8\xE2\xE5\xF2\x20\xEC\xE8\xF0"},
    };
    for (const GoodCase &c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(mods / "aircraft");
        fs::create_directory(mods / "aircraft");
        const fs::path archive = source / c.archiveName;
        writeArchive(archive, c.kind, c.entries);
        if (!c.standIn.empty())
            patch(archive, c.standIn, c.rawName);
        const ImportResult result = import(archive);

        std::set<std::string> expected(c.expectedMods.begin(), c.expectedMods.end());
        std::set<std::string> found;
        for (const fs::directory_entry &entry : fs::directory_iterator(mods / "aircraft"))
            found.insert(utf8FromPath(entry.path().filename()));
        EXPECT_EQ(found, expected);
        EXPECT_EQ(result.modsImported, expected.size());
        std::size_t files = 0;
        for (const std::string &mod : expected)
            for (const auto &[name, bytes] : tree(mods / "aircraft" / pathFromUtf8(mod)))
                files += bytes != "folder";
        EXPECT_EQ(result.filesCopied, files);
        expectNoStaging();
    }
}

TEST_F(ModArchiveTest, ALinkLeadingNowhereIsLeftOut)
{
    const fs::path archive = source / "dangling.tar.gz";
    writeArchive(archive, ArchiveKind::TarGz,
                 {{"M/entry.lua", entryText("m")}, {"M/gone.dds", "", "missing.dds"}});
    EXPECT_EQ(import(archive).modsImported, 1U);
    EXPECT_EQ(tree(mods / "aircraft" / "M"), (std::map<std::string, std::string>{
                                                  {"entry.lua", entryText("m")}}));
    expectNoStaging();
}

TEST_F(ModArchiveTest, ImportingTwiceChangesNothing)
{
    const fs::path archive = source / "twice.zip";
    writeArchive(archive, ArchiveKind::Zip,
                 {{"M/entry.lua", entryText("m")}, {"M/Shapes/body.edm", noise(1000)}});
    EXPECT_EQ(import(archive).filesCopied, 2U);
    const auto first = tree(mods.path());
    const ImportResult again = import(archive);
    EXPECT_EQ(again.modsImported, 1U);
    EXPECT_EQ(again.filesCopied, 0U);
    EXPECT_EQ(tree(mods.path()), first);
}

struct BadCase
{
    const char *what;
    ArchiveKind kind;
    std::vector<ArchiveEntry> entries;
    ArchiveProblem problem;
    void (*spoil)(const fs::path &archive);
    std::string options;
    const char *passphrase;
};

TEST_F(ModArchiveTest, BadArchivesAreRefusedAndLeaveNothingBehind)
{
    const std::string entry = entryText("bad");
    const std::vector<BadCase> cases = {
        {"climbs out", ArchiveKind::Zip, {{"M/entry.lua", entry}, {"../../evil.lua", "x"}},
         ArchiveProblem::UnsafeName, nullptr, "", nullptr},
        {"absolute name", ArchiveKind::TarGz, {{"M/entry.lua", entry}, {"/tmp/evil.lua", "x"}},
         ArchiveProblem::UnsafeName, nullptr, "", nullptr},
        {"link pointing outside", ArchiveKind::TarGz,
         {{"M/entry.lua", entry}, {"M/out", "", "../../../.."}}, ArchiveProblem::UnsafeLink, nullptr, "", nullptr},
        {"links leading outside together", ArchiveKind::TarGz,
         {{"M/entry.lua", entry}, {"M/d/up", "", ".."}, {"M/away", "", "d/up/../../.."}},
         ArchiveProblem::UnsafeLink, nullptr, "", nullptr},
#ifndef _WIN32 // needs the link to exist first, which Windows may not allow
        {"hard link to a link, moved nearer the top", ArchiveKind::TarGz,
         {{"inner/secret", "x"},
          {"M/entry.lua", entry},
          {"M/d/d/d/l", "", "../../../../inner"},
          {"M/l2", "", "M/d/d/d/l", true}},
         ArchiveProblem::UnsafeLink, nullptr, "", nullptr},
#endif
        {"encrypted", ArchiveKind::Zip, {{"M/entry.lua", entry}}, ArchiveProblem::Encrypted,
         nullptr, "zip:encryption=zipcrypt", "secret"},
        {"truncated", ArchiveKind::Zip, {{"M/entry.lua", entry}, {"M/body.edm", noise(20000)}},
         ArchiveProblem::Damaged,
         [](const fs::path &archive) { fs::resize_file(archive, fs::file_size(archive) / 2); }, "",
         nullptr},
        {"corrupt", ArchiveKind::Zip, {{"M/entry.lua", entry}, {"M/body.edm", noise(20000)}},
         ArchiveProblem::Damaged,
         [](const fs::path &archive) {
             std::string bytes = readFile(archive);
             for (std::size_t at = bytes.size() / 3; at < bytes.size() / 2; at += 7)
                 bytes[at] = static_cast<char>(~bytes[at]);
             writeFile(archive, bytes);
         },
         "", nullptr},
        {"unknown format", ArchiveKind::Zip, {}, ArchiveProblem::UnknownFormat,
         [](const fs::path &archive) { writeFile(archive, "just some text, not an archive\n"); },
         "", nullptr},
        {"compression bomb", ArchiveKind::Zip,
         {{"M/entry.lua", entry}, {"M/zeros.bin", std::string(4 << 20, '\0')}},
         ArchiveProblem::CompressionBomb, nullptr, "", nullptr},
    };
    ArchiveLimits small;
    small.ratio = 50;
    small.floor = 1 << 20;
    for (const BadCase &c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(mods / "aircraft");
        fs::create_directory(mods / "aircraft");
        const fs::path archive = source / "bad.zip";
        writeArchive(archive, c.kind, c.entries, c.options, c.passphrase);
        if (c.spoil)
            c.spoil(archive);
        try {
            import(archive, nullptr, small);
            ADD_FAILURE() << "imported";
        } catch (const ArchiveError &error) {
            EXPECT_EQ(error.problem(), c.problem) << error.what();
            EXPECT_EQ(error.archive(), archive);
        }
        EXPECT_TRUE(fs::is_empty(mods / "aircraft"));
        expectNoStaging();
        EXPECT_FALSE(fs::exists(mods.path().parent_path() / "evil.lua"));
    }
}

// An archive named only with dots once unpacked into the mods folder itself,
// truncating installed files and, when damaged, removing them.
TEST_F(ModArchiveTest, ArchivesNamedOnlyWithDotsNeverReachTheModsFolder)
{
    const fs::path installed = mods / "aircraft" / "Existing" / "livery.dds";
    const std::vector<ArchiveEntry> entries = {{"aircraft/Existing/livery.dds", "replaced"},
                                               {"Top/entry.lua", entryText("top")}};
    const struct
    {
        const char *name;
        ArchiveKind kind;
        bool damaged;
    } cases[] = {{"...zip", ArchiveKind::Zip, false},
                 {"...7z", ArchiveKind::SevenZip, false},
                 {"...tar.gz", ArchiveKind::TarGz, false},
                 {"...zip", ArchiveKind::Zip, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.damaged ? " damaged" : ""));
        writeFile(mods / "aircraft" / "Existing" / "entry.lua", entryText("existing"));
        writeFile(installed, "the user's livery");
        const fs::path archive = source / c.name;
        std::vector<ArchiveEntry> packed = entries;
        if (c.damaged)
            packed.push_back({"aircraft/Existing/livery.dds", noise(40000)});
        writeArchive(archive, c.kind, packed);
        if (c.damaged)
            fs::resize_file(archive, fs::file_size(archive) - 30000);
        try {
            import(archive);
            EXPECT_FALSE(c.damaged) << "a damaged archive was imported";
        } catch (const ArchiveError &error) {
            EXPECT_TRUE(c.damaged) << error.what();
        }
        EXPECT_EQ(readFile(installed), "the user's livery");
        expectNoStaging();
        fs::remove_all(mods / "aircraft");
        fs::create_directory(mods / "aircraft");
    }
}

// A later entry of a hard link's name must not write through the link.
TEST_F(ModArchiveTest, AnEntryNamedLikeAnEarlierHardLinkReplacesTheName)
{
    const fs::path archive = source / "links.tar.gz";
    writeArchive(archive, ArchiveKind::TarGz,
                 {{"M/entry.lua", entryText("m")},
                  {"M/a.dds", "bytes of a"},
                  {"M/b.dds", "", "M/a.dds", true},
                  {"M/b.dds", "bytes of b"}});
    import(archive);
    EXPECT_EQ(readFile(mods / "aircraft" / "M" / "a.dds"), "bytes of a");
    EXPECT_EQ(readFile(mods / "aircraft" / "M" / "b.dds"), "bytes of b");
}

TEST(NameRulesTest, WindowsRefusesWhatItCannotHoldAndLinuxOnlyLongNames)
{
    const std::string longName(kLongestFileName + 1, 'n');
    const struct
    {
        std::string name;
        std::optional<RefusalReason> windows;
        std::optional<RefusalReason> posix;
    } cases[] = {
        {"livery.dds", std::nullopt, std::nullopt},
        {"shot 12:30.png", RefusalReason::ForbiddenCharacter, std::nullopt},
        {"a<b>c", RefusalReason::ForbiddenCharacter, std::nullopt},
        {"what?", RefusalReason::ForbiddenCharacter, std::nullopt},
        {"tab\tname", RefusalReason::ForbiddenCharacter, std::nullopt},
        {". ", RefusalReason::EndsInDotOrSpace, std::nullopt},
        {".. ", RefusalReason::EndsInDotOrSpace, std::nullopt},
        {"name.", RefusalReason::EndsInDotOrSpace, std::nullopt},
        {"NUL", RefusalReason::ReservedName, std::nullopt},
        {"nul.dds", RefusalReason::ReservedName, std::nullopt},
        {"aux.txt", RefusalReason::ReservedName, std::nullopt},
        {"COM1.lua", RefusalReason::ReservedName, std::nullopt},
        {"CON", RefusalReason::ReservedName, std::nullopt},
        {"CONIN$", RefusalReason::ReservedName, std::nullopt},
        {"LPT1", RefusalReason::ReservedName, std::nullopt},
        {"lpt\xC2\xB9.txt", RefusalReason::ReservedName, std::nullopt},
        {"COM10", std::nullopt, std::nullopt},
        {"console", std::nullopt, std::nullopt},
        {longName, RefusalReason::NameTooLong, RefusalReason::NameTooLong},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const NameRules rules : {NameRules::Windows, NameRules::Posix}) {
            RefusalReason reason{};
            const bool refused = nameRefused(c.name, rules, reason);
            const std::optional<RefusalReason> &expected =
                rules == NameRules::Windows ? c.windows : c.posix;
            EXPECT_EQ(refused, expected.has_value());
            if (refused && expected) {
                EXPECT_EQ(reason, *expected);
            }
        }
    }
}

// Names this system cannot hold are refused one by one, in the result; the
// rest of the archive is imported, and nothing lands under another name.
TEST_F(ModArchiveTest, NamesTheSystemCannotHoldAreRefusedOneByOne)
{
    const std::vector<std::string> names = {
        "M/shot 12:30.png", "M/. /. /x.txt", "M/.. /.. /x.txt", "M/NUL",   "M/nul.dds",
        "M/aux.txt",        "M/COM1.lua",    "M/CON",           "M/CONIN$", "M/LPT1",
        "M/" + std::string(kLongestFileName + 1, 'n') + ".dds"};
    std::vector<ArchiveEntry> entries = {{"M/entry.lua", entryText("m")}};
    for (const std::string &name : names)
        entries.push_back({name, "bytes of " + name});
    std::string deep = "M";
    for (std::size_t level = 0; level < kDeepestFolder + 2; ++level)
        deep += "/d";
    entries.push_back({deep + "/x.txt", "deep"});
    const fs::path archive = source / "names.zip";
    writeArchive(archive, ArchiveKind::Zip, entries);
    const ImportResult result = import(archive);
    EXPECT_EQ(readFile(mods / "aircraft" / "M" / "entry.lua"), entryText("m"));
    std::map<std::string, RefusalReason> refused;
    for (const ImportRefusal &refusal : result.refused)
        refused[refusal.name] = refusal.reason;
    for (const std::string &name : names) {
        SCOPED_TRACE(name);
        RefusalReason expected{};
        std::string part = name.substr(2);
        part = part.substr(0, part.find('/'));
        if (nameRefused(part, NameRules::ThisSystem, expected)) {
            ASSERT_TRUE(refused.contains(name));
            EXPECT_EQ(refused[name], expected);
        } else {
            EXPECT_FALSE(refused.contains(name));
            EXPECT_EQ(readFile(mods / "aircraft" / pathFromUtf8(name)), "bytes of " + name);
        }
    }
    ASSERT_TRUE(refused.contains(deep + "/x.txt"));
    EXPECT_EQ(refused[deep + "/x.txt"], RefusalReason::TooDeep);
    // Nothing else: no file under a name the system made of a refused one.
    std::size_t files = 0;
    for (const auto &[name, bytes] : tree(mods / "aircraft" / "M"))
        files += bytes != "folder";
    EXPECT_EQ(files, 1 + names.size() - (refused.size() - 1));
    expectNoStaging();
}

TEST_F(ModArchiveTest, NamesDifferingOnlyInCaseKeepTheFirstWhereNamesFoldCase)
{
    const fs::path archive = source / "cases.zip";
    writeArchive(archive, ArchiveKind::Zip,
                 {{"M/entry.lua", entryText("first")},
                  {"M/ENTRY.LUA", entryText("second")},
                  {"M/Tex/a.dds", "a"},
                  {"M/TEX/A.DDS", "A"}});
    const ImportResult result = import(archive);
    const fs::path mod = mods / "aircraft" / "M";
    EXPECT_EQ(readFile(mod / "entry.lua"), entryText("first"));
    EXPECT_EQ(readFile(mod / "Tex" / "a.dds"), "a");
    std::vector<std::string> clashes;
    for (const ImportRefusal &refusal : result.refused)
        if (refusal.reason == RefusalReason::CaseClash)
            clashes.push_back(refusal.name);
    if (namesFoldCase()) {
        EXPECT_EQ(clashes, (std::vector<std::string>{"M/ENTRY.LUA", "M/TEX/A.DDS"}));
    } else {
        EXPECT_TRUE(clashes.empty());
        EXPECT_EQ(readFile(mod / "ENTRY.LUA"), entryText("second"));
        EXPECT_EQ(readFile(mod / "TEX" / "A.DDS"), "A");
    }
}

// Stops at the given call of cancelRequested.
class CancelAt : public ImportProgress
{
public:
    CancelAt(ImportStage stage, int call) : m_stage(stage), m_call(call) {}
    void progressed(const ImportStatus &status) override
    {
        m_current = status.stage;
        last = status;
    }
    bool cancelRequested() override
    {
        return m_current == m_stage && --m_call < 0;
    }
    ImportStatus last;

private:
    ImportStage m_stage;
    ImportStage m_current = ImportStage::Unpacking;
    int m_call;
};

TEST_F(ModArchiveTest, CancelKeepsCompleteFilesAndRemovesStaging)
{
    std::vector<ArchiveEntry> entries{{"M/entry.lua", entryText("m")}};
    for (int i = 0; i < 6; ++i)
        entries.push_back({"M/part" + std::to_string(i), noise(300000)});
    const fs::path archive = source / "big.zip";
    writeArchive(archive, ArchiveKind::Zip, entries);

    CancelAt whileUnpacking(ImportStage::Unpacking, 3);
    EXPECT_TRUE(import(archive, &whileUnpacking).cancelled);
    EXPECT_TRUE(fs::is_empty(mods / "aircraft"));
    expectNoStaging();

    // A mod already there in part is completed file by file, not moved whole.
    fs::create_directory(mods / "aircraft" / "M");
    CancelAt whileCopying(ImportStage::Copying, 3);
    const ImportResult result = import(archive, &whileCopying);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.filesCopied, 3U);
    EXPECT_EQ(whileCopying.last.filesTotal, 7U);
    EXPECT_EQ(whileCopying.last.filesDone, 3U);
    const auto copied = tree(mods / "aircraft" / "M");
    EXPECT_EQ(copied.size(), 3U);
    for (const auto &[name, bytes] : copied) {
        const auto packed = std::find_if(entries.begin(), entries.end(), [&](const ArchiveEntry &e) {
            return e.name == "M/" + name;
        });
        ASSERT_NE(packed, entries.end()) << name;
        EXPECT_TRUE(bytes == packed->data) << name << " is not whole";
    }
    expectNoStaging();
}

TEST_F(ModArchiveTest, AStagingFolderLeftByAKilledRunGoesWithTheNextImport)
{
    writeFile(mods / (std::string(kStagingFolderName) + "-old") / "Stale" / "entry.lua",
              entryText("stale"));
    const fs::path archive = source / "new.zip";
    writeArchive(archive, ArchiveKind::Zip, {{"New/entry.lua", entryText("new")}});
    import(archive);
    EXPECT_TRUE(fs::exists(mods / "aircraft" / "New" / "entry.lua"));
    EXPECT_FALSE(fs::exists(mods / "aircraft" / "Stale"));
    expectNoStaging();
}

#ifndef _WIN32
// A leftover unpacking folder that cannot be removed (here a mount point; on
// Windows a tree too deep for the removal) once failed every later import.
TEST_F(ModArchiveTest, AnUnpackingFolderThatCannotGoIsReportedOnceAndBlocksNothing)
{
    const fs::path stuck = mods / (std::string(kStagingFolderName) + "-stuck");
    TmpfsMount disk(stuck, 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";
    const fs::path archive = source / "new.zip";
    writeArchive(archive, ArchiveKind::Zip, {{"New/entry.lua", entryText("new")}});
    const ImportResult first = import(archive);
    ASSERT_EQ(first.refused.size(), 1U);
    EXPECT_EQ(first.refused[0].reason, RefusalReason::Leftover);
    EXPECT_EQ(first.refused[0].name, utf8FromPath(stuck));
    EXPECT_TRUE(fs::exists(mods / "aircraft" / "New" / "entry.lua"));
    fs::remove_all(mods / "aircraft" / "New");
    EXPECT_TRUE(import(archive).refused.empty());
    EXPECT_TRUE(fs::exists(mods / "aircraft" / "New" / "entry.lua"));
}

TEST_F(ModArchiveTest, MoreThanTheFreeSpaceIsRefused)
{
    TempDir temp;
    TmpfsMount disk(temp / "disk", 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";
    const fs::path small = temp / "disk" / "mods";
    fs::create_directories(small / "aircraft");
    fs::create_directories(small / "tech");
    const fs::path archive = source / "large.zip";
    writeArchive(archive, ArchiveKind::Zip,
                 {{"M/entry.lua", entryText("m")}, {"M/body.edm", noise(3 << 20)}});
    ModLibraryRoots roots;
    roots.aircraftPath = small / "aircraft";
    roots.techPath = small / "tech";
    ModCatalogue catalogue(std::move(roots));
    try {
        importArchive(catalogue, archive, ModCategory::Aircraft);
        ADD_FAILURE() << "imported";
    } catch (const ArchiveError &error) {
        EXPECT_EQ(error.problem(), ArchiveProblem::NotEnoughSpace) << error.what();
    }
    EXPECT_TRUE(fs::is_empty(small / "aircraft"));
    EXPECT_FALSE(fs::exists(small / kStagingFolderName));
}
#endif

} // namespace
