// Faults around the settings file that root meets too, a full disk, and
// writers killed at random moments: the file is always either the old or the
// new content and nothing else in data/ is left damaged.

#include "settings/SettingsFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TmpfsMount.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <string>
#include <thread>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifndef _WIN32

namespace {

const fs::path kSettings = fs::path("data") / "root.lua";

class SettingsFaultTest : public testing::Test
{
protected:
    TempDir m_temp;
    WorkingDirectoryScope m_scope{m_temp.path()};
};

std::set<std::string> namesIn(const fs::path &folder)
{
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST_F(SettingsFaultTest, LinkLoopOrFileInsteadOfFolderIsLeftAlone)
{
    fs::create_directory("mods");
    fs::create_directory("data");
    fs::create_symlink("root.lua", kSettings);
    EXPECT_EQ(readLanguageSetting(), "");
    saveLanguage(UiLanguage::Russian);
    saveDirectory("mods");
    EXPECT_EQ(fs::read_symlink(kSettings), "root.lua");
    EXPECT_EQ(namesIn("data"), std::set<std::string>{"root.lua"});

    fs::remove_all("data");
    writeFile("data", "a file where the folder belongs");
    EXPECT_EQ(readDirectorySetting(), fs::path());
    saveLanguage(UiLanguage::Russian);
    saveDirectory("mods");
    EXPECT_EQ(readFile("data"), "a file where the folder belongs");
}

TEST_F(SettingsFaultTest, DirectoryWithANameTooLongIsNotSaved)
{
    const std::string original = "local DIRECTORY = \"old\"\r\n";
    writeFile(kSettings, original);
    saveDirectory(std::string(300, 'n'));
    saveDirectory(fs::path("mods") / std::string(5000, 'n'));
    EXPECT_EQ(readFile(kSettings), original);
}

TEST_F(SettingsFaultTest, FullDiskKeepsTheFileAndLeavesNoTemporaryFile)
{
    TmpfsMount disk(m_temp / "data", 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";
    const std::string original = "local Language = \"EN\"\r\nlocal DIRECTORY = \"\"\r\n";
    writeFile(kSettings, original);
    const fs::path longName = std::string(200, 'm');
    fs::create_directory(longName);
    disk.fill();
    saveDirectory(longName);
    saveLanguage(UiLanguage::Chinese);
    EXPECT_EQ(readFile(kSettings), original);
    EXPECT_EQ(namesIn("data"), (std::set<std::string>{".filler", "root.lua"}));
}

// Starts the settings child rewriting the language in a loop.
pid_t startWriter(const fs::path &folder)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execl(TESSEL3_SETTINGS_CHILD, TESSEL3_SETTINGS_CHILD, folder.c_str(), "save-loop",
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    return pid;
}

TEST_F(SettingsFaultTest, WriterKilledAtRandomMomentsLeavesOldOrNewContent)
{
    // A larger file makes each write long enough for kills to land inside it.
    std::string padding;
    for (int i = 0; i < 2000; ++i)
        padding += "-- padding line " + std::to_string(i) + "\r\n";
    const std::string english = padding + "local Language = \"EN\"\r\n" + padding;
    const std::string russian = padding + "local Language = \"RU\"\r\n" + padding;
    writeFile(kSettings, english);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
    std::set<std::string> seen;
    constexpr int kKills = 100;
    for (int kill = 0; kill < kKills; ++kill) {
        const std::string before = readFile(kSettings);
        const pid_t writer = startWriter(m_temp.path());
        ASSERT_GT(writer, 0);
        // Wait for the first completed rewrite, so the kill falls among writes.
        for (int waited = 0; waited < 200000 && readFile(kSettings) == before; ++waited)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(writer, SIGKILL);
        int status = 0;
        ::waitpid(writer, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself";

        const std::string after = readFile(kSettings);
        ASSERT_TRUE(after == english || after == russian)
            << "kill " << kill << " left " << after.size() << " bytes of something else";
        seen.insert(after);
    }
    EXPECT_EQ(seen.size(), 2U);
    // Temporary files of killed writers may stay behind; the settings file never suffers.
    const auto names = namesIn("data");
    EXPECT_EQ(names.count("root.lua"), 1U);
    RecordProperty("temporary files left by killed writers", int(names.size()) - 1);
}

} // namespace

#endif
