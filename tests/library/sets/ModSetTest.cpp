#include "library/sets/ApplySwitch.h"
#include "library/sets/ModSet.h"
#include "library/sets/SwitchPlan.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A mods folder of mods named by folder, each on or off, and its catalogue.
class ModsFolder
{
public:
    ModsFolder()
    {
        fs::create_directories(temp / "aircraft");
        fs::create_directories(temp / "tech");
    }

    void add(const std::string &category, const std::string &folder, const std::string &selfId,
             bool on, const std::string &version = "1.0")
    {
        const fs::path mod = temp / category / folder;
        writeFile(on ? mod / "entry.lua" : mod / kStorageFolderName / "entry.lua",
                  "self_ID = \"" + selfId + "\"\ndisplayName = \"" + folder +
                      " name\"\nversion = \"" + version + "\"\n");
    }

    ModCatalogue &catalogue()
    {
        if (!loaded) {
            loaded = std::make_unique<ModCatalogue>(
                ModLibraryRoots{temp / "aircraft", temp / "tech", {}, {}});
            loaded->reload();
        }
        return *loaded;
    }

    // Folder name to on/off, as the disk has it now.
    std::map<std::string, bool> states() const
    {
        std::map<std::string, bool> result;
        for (const char *category : {"aircraft", "tech"})
            for (const auto &item : fs::directory_iterator(temp / category))
                result[item.path().filename().string()] = fs::exists(item.path() / "entry.lua");
        return result;
    }

    TempDir temp;

private:
    std::unique_ptr<ModCatalogue> loaded;
};

std::vector<std::string> folders(const std::vector<PlannedSwitch> &switches)
{
    std::vector<std::string> result;
    for (const PlannedSwitch &planned : switches)
        result.push_back(planned.folder);
    std::sort(result.begin(), result.end());
    return result;
}

ModSetMember member(ModCategory category, const std::string &folder, const std::string &selfId,
                    bool on = true, const std::string &version = "1.0")
{
    return {category, folder, selfId, folder + " name", version, on};
}

} // namespace

TEST(ModSetTest, TheCurrentSetPlansNoChange)
{
    ModsFolder mods;
    mods.add("aircraft", "A", "a", true);
    mods.add("aircraft", "B", "b", false);
    mods.add("tech", "T", "t", true, "2.0");
    const ModSet current = currentModSet(mods.catalogue(), "now");
    ASSERT_EQ(current.members.size(), 3U);
    EXPECT_EQ(current.members[2].category, ModCategory::Tech);
    EXPECT_EQ(current.members[2].folder, "T");
    EXPECT_EQ(current.members[2].version, "2.0");
    for (const ModSetMember &member : current.members)
        EXPECT_EQ(member.on, member.folder != "B") << member.folder;
    const SwitchPlan plan = planSwitch(mods.catalogue(), current);
    EXPECT_TRUE(plan.changesNothing());
    EXPECT_TRUE(plan.missing.empty() && plan.otherVersion.empty() && plan.ambiguous.empty());
}

TEST(ModSetTest, PlansOnOffMissingOtherVersionAndTheModsOutside)
{
    ModsFolder mods;
    mods.add("aircraft", "On", "on", true);
    mods.add("aircraft", "WantedOn", "wanted-on", false);
    mods.add("aircraft", "WantedOff", "wanted-off", true);
    mods.add("aircraft", "Renamed Copy", "moved", false); // re-imported under another name
    mods.add("tech", "Outside", "outside", true);
    mods.add("tech", "Newer", "newer", true, "2.0");
    ModSet set{"server",
               {member(ModCategory::Aircraft, "On", "on"),
                member(ModCategory::Aircraft, "WantedOn", "wanted-on"),
                member(ModCategory::Aircraft, "WantedOff", "wanted-off", false),
                member(ModCategory::Aircraft, "Moved", "moved"),
                member(ModCategory::Tech, "Newer", "newer", true, "1.0"),
                member(ModCategory::Tech, "Gone", "gone"),
                member(ModCategory::Tech, "GoneAndOff", "gone-off", false)}};

    const SwitchPlan off = planSwitch(mods.catalogue(), set, OutsideSet::SwitchOff);
    EXPECT_EQ(folders(off.switchOn), (std::vector<std::string>{"Renamed Copy", "WantedOn"}));
    EXPECT_EQ(folders(off.switchOff), (std::vector<std::string>{"Outside", "WantedOff"}));
    ASSERT_EQ(off.missing.size(), 1U);
    EXPECT_EQ(off.missing[0].selfId, "gone");
    ASSERT_EQ(off.otherVersion.size(), 1U);
    EXPECT_EQ(off.otherVersion[0].diskVersion, "2.0");
    EXPECT_EQ(off.moves().size(), 4U);

    const SwitchPlan leave = planSwitch(mods.catalogue(), set, OutsideSet::Leave);
    EXPECT_EQ(folders(leave.switchOff), (std::vector<std::string>{"WantedOff"}));

    // An empty set switches everything off, or nothing.
    EXPECT_EQ(planSwitch(mods.catalogue(), ModSet{"empty", {}}).switchOff.size(), 4U);
    EXPECT_TRUE(planSwitch(mods.catalogue(), ModSet{"empty", {}}, OutsideSet::Leave).changesNothing());
}

TEST(ModSetTest, TheFolderDecidesBetweenModsOfOneSelfId)
{
    ModsFolder mods;
    mods.add("aircraft", "Dup1", "dup", false);
    mods.add("aircraft", "Dup2", "dup", false);
    mods.add("aircraft", "Other", "other", true);

    // The folder is there: it is taken and the plan says so.
    SwitchPlan plan = planSwitch(mods.catalogue(), {"s", {member(ModCategory::Aircraft, "Dup2", "dup")}});
    EXPECT_EQ(folders(plan.switchOn), std::vector<std::string>{"Dup2"});
    ASSERT_EQ(plan.ambiguous.size(), 1U);
    EXPECT_EQ(plan.ambiguous[0].chosenFolder, "Dup2");
    EXPECT_EQ(plan.ambiguous[0].candidateFolders.size(), 2U);

    // It is not: neither is taken nor switched off, and the plan says so.
    plan = planSwitch(mods.catalogue(), {"s", {member(ModCategory::Aircraft, "Elsewhere", "dup")}});
    EXPECT_TRUE(plan.switchOn.empty());
    EXPECT_EQ(folders(plan.switchOff), std::vector<std::string>{"Other"});
    ASSERT_EQ(plan.ambiguous.size(), 1U);
    EXPECT_TRUE(plan.ambiguous[0].chosenFolder.empty());
    EXPECT_TRUE(plan.missing.empty());

    // Two members that find the same mod: the first counts.
    plan = planSwitch(mods.catalogue(), {"s",
                                         {member(ModCategory::Aircraft, "Other", "other", true),
                                          member(ModCategory::Aircraft, "Renamed", "other", false)}});
    EXPECT_TRUE(plan.changesNothing() || plan.switchOff.size() == 2U);
    ASSERT_EQ(plan.namedTwice.size(), 1U);
    EXPECT_EQ(plan.namedTwice[0].folder, "Renamed");
}

TEST(ModSetTest, ApplyingSwitchesAndUpdatesTheRecords)
{
    ModsFolder mods;
    for (int i = 0; i < 6; ++i)
        mods.add("aircraft", "M" + std::to_string(i), "m" + std::to_string(i), i % 2 == 0);
    ModSet set{"odd", {}};
    for (int i = 1; i < 6; i += 2)
        set.members.push_back(member(ModCategory::Aircraft, "M" + std::to_string(i), ""));
    const SwitchPlan plan = planSwitch(mods.catalogue(), set);
    for (const EntryMove &move : plan.moves())
        EXPECT_EQ(move.to, toggleMove(move.from).to);
    testing::internal::CaptureStdout();
    const SwitchOutcome outcome = applySwitch(mods.catalogue(), plan);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(outcome.complete);
    EXPECT_EQ(outcome.switchedOn, 3U);
    EXPECT_EQ(outcome.switchedOff, 3U);
    for (const auto &[folder, on] : mods.states())
        EXPECT_EQ(on, (folder.back() - '0') % 2 == 1) << folder;
    EXPECT_TRUE(planSwitch(mods.catalogue(), set).changesNothing());
}

// One mod among hundreds cannot be switched off: a file lies where its storage
// folder belongs. Every move made before it is put back and the mod is named.
TEST(ModSetTest, ARefusalHalfWayLeavesTheDiskAsItWas)
{
    ModsFolder mods;
    for (int i = 0; i < 240; ++i)
        mods.add("aircraft", "M" + std::to_string(1000 + i), "m" + std::to_string(i), i % 3 != 0);
    writeFile(mods.temp / "aircraft" / "M1181" / kStorageFolderName, "in the way");
    const auto before = mods.states();
    const SwitchPlan plan = planSwitch(mods.catalogue(), ModSet{"none", {}});
    ASSERT_EQ(plan.switchOff.size(), 160U);

    testing::internal::CaptureStdout();
    const SwitchOutcome outcome = applySwitch(mods.catalogue(), plan);
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(outcome.complete);
    EXPECT_EQ(outcome.refused.mod.folder, "M1181");
    EXPECT_TRUE(outcome.refused.reason);
    EXPECT_TRUE(outcome.notReversed.empty());
    EXPECT_EQ(mods.states(), before);
    for (const ModRecord &record : mods.catalogue().records())
        EXPECT_EQ(record.installState, fs::exists(record.entryPath.parent_path() / "entry.lua") &&
                                           record.installState);
}

#ifndef _WIN32
// The same with a mod folder that cannot be written, which the system refuses
// as it would for a folder of another user.
TEST(ModSetTest, AnUnwritableModFolderLeavesTheDiskAsItWas)
{
    ModsFolder mods;
    for (int i = 0; i < 120; ++i)
        mods.add("aircraft", "M" + std::to_string(1000 + i), "m" + std::to_string(i), i % 2 == 0);
    const auto before = mods.states();
    const auto result = runUnprivileged(mods.temp.path(), [&] {
        fs::permissions(mods.temp / "aircraft" / "M1100", fs::perms::owner_read | fs::perms::owner_exec);
        ModSet set{"flip", {}};
        for (int i = 0; i < 120; ++i)
            set.members.push_back(member(ModCategory::Aircraft, "M" + std::to_string(1000 + i),
                                         "", i % 2 == 1));
        const SwitchOutcome outcome = applySwitch(mods.catalogue(), planSwitch(mods.catalogue(), set));
        fs::permissions(mods.temp / "aircraft" / "M1100", fs::perms::owner_all);
        if (outcome.complete || outcome.refused.mod.folder != "M1100" || !outcome.notReversed.empty())
            return 1;
        return mods.states() == before ? 0 : 2;
    });
    if (!result)
        GTEST_SKIP() << "cannot run as an unprivileged user here";
    EXPECT_EQ(*result, 0);
    EXPECT_EQ(mods.states(), before);
}
#endif
