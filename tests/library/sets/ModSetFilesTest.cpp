#include "library/sets/ModSetError.h"
#include "library/sets/ModSetJson.h"
#include "library/sets/ModSetStore.h"
#include "library/sets/ShareCode.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

ModSet sampleSet()
{
    return {"Squadron Ж 中",
            {{ModCategory::Aircraft, "F-16 Виппер", "f16", "Viper", "1.2", true},
             {ModCategory::Tech, "Radar 雷达", "radar", "Radar", "0.9", false}}};
}

bool sameSet(const ModSet &a, const ModSet &b)
{
    if (a.name != b.name || a.members.size() != b.members.size())
        return false;
    for (std::size_t i = 0; i < a.members.size(); ++i) {
        const ModSetMember &x = a.members[i];
        const ModSetMember &y = b.members[i];
        if (x.category != y.category || x.folder != y.folder || x.selfId != y.selfId ||
            x.name != y.name || x.version != y.version || x.on != y.on)
            return false;
    }
    return true;
}

ModSetProblem problemOf(const std::function<void()> &read)
{
    try {
        read();
    } catch (const ModSetError &error) {
        return error.problem();
    }
    ADD_FAILURE() << "accepted";
    return ModSetProblem::TooLarge;
}

std::string withMember(const std::string &memberJson)
{
    return R"({"format":"tessel3-set","version":1,"name":"x","members":[)" + memberJson + "]}";
}

} // namespace

TEST(ModSetFilesTest, FilesAndCodesCarryTheSameSet)
{
    const ModSet set = sampleSet();
    EXPECT_TRUE(sameSet(modSetFromJson(modSetToJson(set)), set));
    const std::string code = modSetToShareCode(set);
    EXPECT_EQ(code.rfind(kShareCodePrefix, 0), 0U);
    EXPECT_EQ(code.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_:"),
              std::string::npos);
    EXPECT_TRUE(sameSet(modSetFromShareCode(code), set));
    // A mail program folds it, a chat program pads it.
    std::string folded = "  " + code.substr(0, 20) + "\r\n" + code.substr(20) + "\n";
    EXPECT_TRUE(sameSet(modSetFromShareCode(folded), set));
}

TEST(ModSetFilesTest, BadSetTextIsRefusedWithItsReason)
{
    const std::string good = modSetToJson(sampleSet());
    const std::string validMember =
        R"({"category":"aircraft","folder":"A","selfId":"a","name":"","version":"","on":true})";
    const auto withFolder = [](const std::string &folder) {
        return withMember(R"({"category":"aircraft","folder":)" + folder +
                          R"(,"selfId":"a","name":"","version":"","on":true})");
    };
    const struct
    {
        std::string text;
        ModSetProblem problem;
    } cases[] = {
        {"not json at all", ModSetProblem::NotJson},
        {good.substr(0, good.size() / 2), ModSetProblem::NotJson},
        {"", ModSetProblem::NotJson},
        {"[1,2]", ModSetProblem::NotJson},
        {R"({"format":"tessel3-set","version":2,"name":"x","members":[]})", ModSetProblem::UnknownVersion},
        {R"({"format":"tessel3-set","name":"x","members":[]})", ModSetProblem::WrongShape},
        {R"({"format":"tessel3-set","version":1,"name":"","members":[]})", ModSetProblem::EmptyName},
        {R"({"format":"tessel3-set","version":1,"name":"x","members":{}})", ModSetProblem::WrongShape},
        {withMember(R"({"category":"boats","folder":"A","selfId":"a","name":"","version":"","on":true})"),
         ModSetProblem::UnknownCategory},
        {withMember(R"({"category":"aircraft","folder":"A","selfId":"a","name":"","version":""})"),
         ModSetProblem::WrongShape},
        {withFolder(R"("..")"), ModSetProblem::UnsafeFolder},
        {withFolder(R"("../../etc")"), ModSetProblem::UnsafeFolder},
        {withFolder(R"("/etc")"), ModSetProblem::UnsafeFolder},
        {withFolder(R"("C:")"), ModSetProblem::UnsafeFolder},
        {withFolder(R"("a\\b")"), ModSetProblem::UnsafeFolder},
        {withFolder(R"("")"), ModSetProblem::UnsafeFolder},
        {withMember(validMember + "," + validMember), ModSetProblem::NamedTwice},
    };
    for (const auto &bad : cases)
        EXPECT_EQ(problemOf([&] { modSetFromJson(bad.text); }), bad.problem) << bad.text;
    EXPECT_EQ(modSetFromJson(withMember("")).members.size(), 0U); // an empty set is a set
}

TEST(ModSetFilesTest, ADamagedOrCutCodeIsRefused)
{
    const std::string code = modSetToShareCode(sampleSet());
    // Every single changed character.
    for (std::size_t i = 0; i < code.size(); ++i) {
        std::string changed = code;
        changed[i] = changed[i] == 'A' ? 'B' : 'A';
        EXPECT_THROW(modSetFromShareCode(changed), ModSetError) << i;
    }
    for (std::size_t length = 0; length < code.size(); ++length)
        EXPECT_THROW(modSetFromShareCode(code.substr(0, length)), ModSetError) << length;
    EXPECT_EQ(problemOf([] { modSetFromShareCode("hello world"); }), ModSetProblem::NotACode);
    EXPECT_EQ(problemOf([] { modSetFromShareCode("tessel3-set:1:AAAA:00000000"); }),
              ModSetProblem::CodeDamaged);
    // A later format: whatever follows, the version is named.
    EXPECT_EQ(problemOf([] { modSetFromShareCode("tessel3-set:2:AAAA:00000000"); }),
              ModSetProblem::UnknownVersion);
}

TEST(ModSetFilesTest, SetsFolderLoadsTheGoodFilesAndNamesTheBadOnes)
{
    TempDir temp;
    const fs::path folder = temp / "data" / "sets";
    std::error_code failure;
    const ModSet set = sampleSet();
    const fs::path file = modSetFileFor(folder, set.name);
    ASSERT_TRUE(writeModSetFile(file, set, failure)) << failure.message();
    ModSet other = sampleSet();
    other.name = "a/b:c";
    ASSERT_TRUE(writeModSetFile(modSetFileFor(folder, other.name), other, failure));
    // Replaced, not appended.
    ASSERT_TRUE(writeModSetFile(file, set, failure));
    writeFile(folder / "damaged.t3set", modSetToJson(set).substr(0, 40));
    writeFile(folder / "future.t3set", R"({"format":"tessel3-set","version":9,"name":"f","members":[]})");
    writeFile(folder / "notes.txt", "not a set");

    const LoadedModSets loaded = loadModSets(folder);
    ASSERT_EQ(loaded.sets.size(), 2U);
    EXPECT_EQ(loaded.sets[0].set.name, "Squadron Ж 中");
    EXPECT_TRUE(sameSet(loaded.sets[0].set, set));
    EXPECT_EQ(loaded.sets[1].set.name, "a/b:c");
    ASSERT_EQ(loaded.unreadable.size(), 2U);
    for (const UnreadableModSet &bad : loaded.unreadable)
        EXPECT_EQ(bad.problem, bad.file.filename() == "future.t3set" ? ModSetProblem::UnknownVersion
                                                                     : ModSetProblem::NotJson);
    try {
        readModSetFile(folder / "damaged.t3set");
        ADD_FAILURE();
    } catch (const ModSetError &error) {
        EXPECT_NE(std::string(error.what()).find("damaged.t3set"), std::string::npos);
    }
    EXPECT_TRUE(loadModSets(temp / "nothing here").sets.empty());
}
