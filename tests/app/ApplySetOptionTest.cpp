#include "app/ApplySetOption.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/platform/PathText.h"
#include "library/sets/ModSetJson.h"
#include "library/sets/ModSetStore.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A working directory with a settings file naming a mods folder of three
// aircraft, A and B on, C off, and one saved set "Only C".
class ApplySetOptionTest : public testing::Test
{
protected:
    ApplySetOptionTest() : scope(temp.path())
    {
        for (const char *name : {"A", "B", "C"}) {
            const fs::path mod = temp / "mods" / "aircraft" / name;
            writeFile(std::string(name) == "C" ? mod / kStorageFolderName / kEntryFileName
                                               : mod / kEntryFileName,
                      std::string("self_ID = \"") + name + "\"\n");
        }
        fs::create_directories(temp / "mods" / "tech");
        writeFile(temp / "data" / "root.lua",
                  "local Language = \"EN\"\nlocal DIRECTORY = \"" + utf8FromPath(temp / "mods") + "\"\n");
        writeFile(temp / "data" / "sets" / "Only C.t3set",
                  modSetToJson({"Only C", {{ModCategory::Aircraft, "C", "C", "", "", true}}}));
    }

    ~ApplySetOptionTest() override
    {
        sharedCatalogue.reset();
    }

    std::optional<int> run(const std::vector<std::string> &arguments)
    {
        out.str({});
        err.str({});
        testing::internal::CaptureStdout();
        std::vector<std::string> all{"tessel3"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        const auto result = runApplySetOption(all, out, err);
        testing::internal::GetCapturedStdout();
        return result;
    }

    std::string onMods()
    {
        std::string on;
        for (const char *name : {"A", "B", "C"})
            if (fs::exists(temp / "mods" / "aircraft" / name / kEntryFileName))
                on += name;
        return on;
    }

    TempDir temp;
    WorkingDirectoryScope scope;
    std::ostringstream out;
    std::ostringstream err;
};

} // namespace

TEST_F(ApplySetOptionTest, AppliesASavedSetOrASetFile)
{
    EXPECT_EQ(run({}), std::nullopt);
    EXPECT_EQ(onMods(), "AB");
    EXPECT_EQ(run({"--apply-set", "Only C"}), std::nullopt) << err.str();
    EXPECT_EQ(onMods(), "C");
    EXPECT_NE(out.str().find("1 on, 2 off"), std::string::npos) << out.str();

    const fs::path file = temp / "AB.t3set";
    writeFile(file, modSetToJson({"AB",
                                  {{ModCategory::Aircraft, "A", "A", "", "", true},
                                   {ModCategory::Aircraft, "B", "B", "", "", true},
                                   {ModCategory::Tech, "X", "x", "X mod", "2", true}}}));
    EXPECT_EQ(run({"--apply-set", utf8FromPath(file)}), std::nullopt) << err.str();
    EXPECT_EQ(onMods(), "AB");
    EXPECT_NE(out.str().find("missing: x | X mod | 2 | tech"), std::string::npos) << out.str();
}

TEST_F(ApplySetOptionTest, RefusesWithTheReasonAndMovesNothing)
{
    writeFile(temp / "bad.t3set", "{\"format\":\"tessel3-set\",\"version\":1,\"name\":\"x\",\"members\":["
                                  "{\"category\":\"aircraft\",\"folder\":\"..\",\"selfId\":\"\","
                                  "\"name\":\"\",\"version\":\"\",\"on\":true}]}");
    const struct
    {
        std::vector<std::string> arguments;
        int code;
        std::string reason;
    } cases[] = {
        {{"--apply-set"}, 2, "needs the name"},
        {{"--apply-set", "Nobody"}, 1, "no saved set is named \"Nobody\""},
        {{"--apply-set", utf8FromPath(temp / "bad.t3set")}, 1, "leads outside"},
        {{"--apply-set", utf8FromPath(temp / "none.t3set")}, 1, "none.t3set"},
    };
    for (const auto &refused : cases) {
        EXPECT_EQ(run(refused.arguments), refused.code);
        EXPECT_NE(err.str().find(refused.reason), std::string::npos) << err.str();
        EXPECT_EQ(onMods(), "AB");
    }

    // B cannot be switched off: a file lies where its storage folder belongs.
    writeFile(temp / "mods" / "aircraft" / "B" / kStorageFolderName, "in the way");
    EXPECT_EQ(run({"--apply-set", "Only C"}), 1);
    EXPECT_NE(err.str().find("nothing changed: could not move B"), std::string::npos) << err.str();
    EXPECT_EQ(onMods(), "AB");

    fs::remove(temp / "data" / "root.lua");
    EXPECT_EQ(run({"--apply-set", "Only C"}), 1);
    EXPECT_NE(err.str().find("no mods folder"), std::string::npos) << err.str();
}
