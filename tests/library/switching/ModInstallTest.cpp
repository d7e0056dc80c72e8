#include "library/switching/ModInstall.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "tests/support/PlatformLimits.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path kStorage = kStorageFolderName;

std::string entryText(const std::string &selfId, const std::string &version = "1.0")
{
    return "self_ID = \"" + selfId + "\"\nversion = \"" + version + "\"\n";
}

std::unique_ptr<ModCatalogue> loadFrom(const fs::path &modsFolder)
{
    ModLibraryRoots roots;
    roots.aircraftPath = modsFolder / "aircraft";
    roots.techPath = modsFolder / "tech";
    auto catalogue = std::make_unique<ModCatalogue>(std::move(roots));
    catalogue->reload();
    return catalogue;
}

ModRecord &onlyRecord(ModCatalogue &catalogue)
{
    const auto records = catalogue.records();
    EXPECT_EQ(records.size(), 1U);
    return records.front();
}

} // namespace

TEST(ModInstallTest, DisableEnableDisableReusesTheStorageFolder)
{
    TempDir mods;
    const fs::path mod = mods / "aircraft" / "F16";
    writeFile(mod / "entry.lua", entryText("f16"));
    auto catalogue = loadFrom(mods.path());
    ModRecord &record = onlyRecord(*catalogue);
    writeFile(mod / "entry.lua", entryText("f16", "2.0"));

    testing::internal::CaptureStdout();
    uninstallMod(*catalogue, record);
    EXPECT_EQ(record.entryPath, mod / kStorage / "entry.lua");
    EXPECT_FALSE(record.installState);
    EXPECT_EQ(record.version, "2.0");
    EXPECT_EQ(record.modFolder(), mod);
    EXPECT_EQ(readFile(mod / kStorage / "entry.lua"), entryText("f16", "2.0"));
    EXPECT_FALSE(fs::exists(mod / "entry.lua"));

    installMod(*catalogue, record);
    EXPECT_EQ(record.entryPath, mod / "entry.lua");
    EXPECT_TRUE(record.installState);
    EXPECT_TRUE(fs::is_empty(mod / kStorage));

    uninstallMod(*catalogue, record);
    EXPECT_FALSE(record.installState);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(ModInstallTest, OperationsInTheirTargetStateChangeNothing)
{
    TempDir mods;
    writeFile(mods / "aircraft" / "On" / "entry.lua", entryText("on"));
    writeFile(mods / "tech" / "Off" / kStorage / "entry.lua", entryText("off"));
    auto catalogue = loadFrom(mods.path());
    const auto records = catalogue->records();
    ASSERT_EQ(records.size(), 2U);

    testing::internal::CaptureStdout();
    installMod(*catalogue, records[0]);
    uninstallMod(*catalogue, records[1]);
    installAll(*catalogue);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(fs::exists(mods / "aircraft" / "On" / kStorage));
    EXPECT_TRUE(fs::exists(mods / "tech" / "Off" / "entry.lua"));
    EXPECT_TRUE(records[1].get().installState);
}

TEST(ModInstallTest, AnEntryFileInBothPlacesIsNeverReplaced)
{
    struct Case
    {
        bool disable;
        std::function<void(ModCatalogue &, ModRecord &)> operation;
    };
    for (const Case &c : {Case{true, uninstallMod}, Case{false, installMod}}) {
        SCOPED_TRACE(c.disable ? "disable" : "enable");
        TempDir mods;
        const fs::path mod = mods / "aircraft" / "Both";
        const fs::path stored = mod / kStorage / "entry.lua";
        writeFile(c.disable ? mod / "entry.lua" : stored, entryText("moving"));
        auto catalogue = loadFrom(mods.path());
        ModRecord &record = onlyRecord(*catalogue);
        const ModRecord before = record;
        writeFile(c.disable ? stored : mod / "entry.lua", entryText("resident"));

        testing::internal::CaptureStdout();
        c.operation(*catalogue, record);
        const std::string output = testing::internal::GetCapturedStdout();
#ifndef _WIN32
        EXPECT_EQ(output, "failed with error code: 17\n");
#endif
        EXPECT_EQ(output.rfind("failed with error code: ", 0), 0U);
        EXPECT_EQ(record.entryPath, before.entryPath);
        EXPECT_EQ(record.installState, before.installState);
        EXPECT_EQ(readFile(before.entryPath), entryText("moving"));
        EXPECT_EQ(readFile(c.disable ? stored : mod / "entry.lua"), entryText("resident"));
    }
}

TEST(ModInstallTest, AVanishedEntryFileFailsButKeepsTheNewStorageFolder)
{
    TempDir mods;
    const fs::path mod = mods / "tech" / "Gone";
    writeFile(mod / "entry.lua", entryText("gone"));
    auto catalogue = loadFrom(mods.path());
    ModRecord &record = onlyRecord(*catalogue);
    fs::remove(mod / "entry.lua");

    testing::internal::CaptureStdout();
    uninstallMod(*catalogue, record);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("failed with error code: ", 0), 0U);
    EXPECT_TRUE(record.installState);
    EXPECT_TRUE(fs::is_directory(mod / kStorage));
}

TEST(ModInstallTest, BulkWalksGoOnPastAFailedMove)
{
    struct Case
    {
        bool disable;
        std::function<void(ModCatalogue &)> operation;
    };
    for (const Case &c : {Case{true, uninstallAll}, Case{false, installAll}}) {
        SCOPED_TRACE(c.disable ? "Disable All" : "Enable All");
        TempDir mods;
        const fs::path relative = c.disable ? fs::path("entry.lua") : kStorage / "entry.lua";
        const fs::path blocker = c.disable ? kStorage / "entry.lua" : fs::path("entry.lua");
        writeFile(mods / "aircraft" / "A" / relative, entryText("a"));
        writeFile(mods / "tech" / "B" / relative, entryText("b"));
        writeFile(mods / "tech" / "C" / relative, entryText("c"));
        auto catalogue = loadFrom(mods.path());
        const auto records = catalogue->records();
        ASSERT_EQ(records.size(), 3U);
        // The tech folder may list B and C either way round; block whichever is second.
        const fs::path second = records[1].get().modFolder();
        writeFile(second / blocker, entryText("blocker"));

        testing::internal::CaptureStdout();
        c.operation(*catalogue);
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(output.find("failed with error code: "), 0U);
        EXPECT_EQ(output.find('\n'), output.size() - 1);
        EXPECT_EQ(records[0].get().installState, !c.disable);
        EXPECT_EQ(records[1].get().installState, c.disable);
        EXPECT_EQ(records[2].get().installState, !c.disable);
        EXPECT_EQ(readFile(second / blocker), entryText("blocker"));
    }
}

TEST(ModInstallTest, StorageFolderTroubleEndsTheOperationWithItsError)
{
    if (!kCanCreateSymlinks)
        GTEST_SKIP() << kNoSymlinks;
    struct Case
    {
        const char *operation;
        fs::path linkTarget; // relative to the mod folder
    };
    // A link to itself cannot be resolved at all; a dangling one looks
    // missing but cannot be created.
    for (const Case &c : {Case{"exists", kStorage}, Case{"create_directories", "nowhere"}}) {
        SCOPED_TRACE(c.operation);
        TempDir mods;
        const fs::path mod = mods / "aircraft" / "Linked";
        writeFile(mod / "entry.lua", entryText("linked"));
        fs::create_symlink(c.linkTarget, mod / kStorage);
        auto catalogue = loadFrom(mods.path());
        ModRecord &record = onlyRecord(*catalogue);
        try {
            uninstallMod(*catalogue, record);
            ADD_FAILURE() << "no error";
        } catch (const fs::filesystem_error &error) {
            EXPECT_NE(std::string(error.what()).find(c.operation), std::string::npos);
            EXPECT_EQ(error.path1(), mod / kStorage);
        }
        EXPECT_TRUE(record.installState);
        EXPECT_TRUE(fs::exists(mod / "entry.lua"));
    }
}
