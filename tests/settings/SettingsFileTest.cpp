#include "settings/SettingsFile.h"

#include "library/platform/FileReplace.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/PlatformLimits.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSettings = fs::path("data") / "root.lua";

class SettingsFileTest : public ::testing::Test
{
protected:
    TempDir m_temp;
    WorkingDirectoryScope m_scope{m_temp.path()};

    // Names in data/ other than root.lua: left-over temporary files.
    std::vector<std::string> strayFiles() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(m_temp / "data"))
            if (entry.path().filename() != "root.lua")
                names.push_back(entry.path().filename().string());
        return names;
    }
};

struct RoundTrip
{
    const char *name;
    std::string input;
    std::function<void()> operation;
    std::string expected;
};

void PrintTo(const RoundTrip &roundTrip, std::ostream *out)
{
    *out << roundTrip.name;
}

class SettingsRoundTripTest : public ::testing::TestWithParam<RoundTrip>
{
};

TEST_P(SettingsRoundTripTest, RewritesExactly)
{
    TempDir temp;
    WorkingDirectoryScope scope(temp.path());
    fs::create_directory("mods");
    fs::create_directories(R"(C:\Games $1 $& $$\1 mods)");
    writeFile(kSettings, GetParam().input);
    GetParam().operation();
    EXPECT_EQ(readFile(kSettings), GetParam().expected);
}

const auto english = [] { saveLanguage(UiLanguage::English); };
const auto chinese = [] { saveLanguage(UiLanguage::Chinese); };
const auto russian = [] { saveLanguage(UiLanguage::Russian); };
const auto mods = [] { saveDirectory("mods"); };

INSTANTIATE_TEST_SUITE_P(
    Golden, SettingsRoundTripTest,
    ::testing::Values(
        RoundTrip{"ShippedFile", "-- c\r\nlocal Language = \"EN\"\r\nlocal DIRECTORY = \"\"\r\n",
                  russian, "-- c\r\nlocal Language = \"RU\"\r\nlocal DIRECTORY = \"\"\r\n"},
        RoundTrip{"CommentLineRewrittenInPlace",
                  "-- local Language = \"CN\"\r\nlocal Language = \"RU\"\r\n", english,
                  "-- local Language = \"EN\"\r\nlocal Language = \"EN\"\r\n"},
        RoundTrip{"WithoutLocalNeverRewritten", "Language=\"CN\"\n", english,
                  "Language=\"CN\"\r\n"},
        RoundTrip{"SpacingNormalised", "local Language=\"EN\"\r\n", chinese,
                  "local Language = \"CN\"\r\n"},
        RoundTrip{"TrailingCommentKept", "local Language  =  \"EN\" -- mine\r\nx = 1", russian,
                  "local Language = \"RU\" -- mine\r\nx = 1"},
        RoundTrip{"LineFeedsBecomeCrLf", "a = 1\nlocal DIRECTORY = \"\"\n\nb = 2\n", mods,
                  "a = 1\r\nlocal DIRECTORY = \"mods\"\r\n\r\nb = 2\r\n"},
        RoundTrip{"LoneCarriageReturnsKept", "a\r\r\nb\rc\r\n", english, "a\r\r\nb\rc\r\n"},
        RoundTrip{"BothDirectoryLines", "local DIRECTORY = \"D:\\a\"\r\nlocal DIRECTORY=\"\"\r\n",
                  mods, "local DIRECTORY = \"mods\"\r\nlocal DIRECTORY = \"mods\"\r\n"},
        RoundTrip{"MissingQuoteRunsToNextQuote",
                  "local Language = \"EN\r\nother = 1\r\nname = \"x\"\r\n", russian,
                  "local Language = \"RU\"x\"\r\n"},
        RoundTrip{"AssignmentAcrossLines", "local\n  Language =\n\"CN\" -- x\n", english,
                  "local Language = \"EN\" -- x\r\n"},
        RoundTrip{"KeyInsideLongerWord",
                  "local MyLanguage = \"CN\"\r\nlocal Language_2 = \"CN\"\r\n"
                  "localLanguage = \"CN\"\r\nlocal DIRECTORY2 = \"x\"\r\n",
                  [] {
                      english();
                      mods();
                  },
                  "local MyLanguage = \"CN\"\r\nlocal Language_2 = \"CN\"\r\n"
                  "localLanguage = \"CN\"\r\nlocal DIRECTORY2 = \"x\"\r\n"},
        RoundTrip{"KeysAreCaseSensitive", "local language = \"CN\"\r\nlocal Directory = \"\"\r\n",
                  [] {
                      english();
                      mods();
                  },
                  "local language = \"CN\"\r\nlocal Directory = \"\"\r\n"},
        RoundTrip{"VerticalTabIsWhiteSpace", "local\vLanguage\v=\v\"CN\"\r\n", russian,
                  "local Language = \"RU\"\r\n"},
        RoundTrip{"ReplacementIsLiteral", "local DIRECTORY = \"old\"\r\n",
                  [] { saveDirectory(R"(C:\Games $1 $& $$\1 mods)"); },
                  "local DIRECTORY = \"C:\\Games $1 $& $$\\1 mods\"\r\n"},
        RoundTrip{"MissingDirectoryWritesNothing", "local DIRECTORY = \"old\"\n",
                  [] { saveDirectory("absent"); }, "local DIRECTORY = \"old\"\n"},
        RoundTrip{"EmptyDirectoryWritesNothing", "local DIRECTORY = \"old\"\n",
                  [] { saveDirectory(""); }, "local DIRECTORY = \"old\"\n"}),
    [](const auto &info) { return std::string(info.param.name); });

struct Reading
{
    const char *name;
    std::string input;
    std::string language;
    std::string directory;
};

void PrintTo(const Reading &reading, std::ostream *out)
{
    *out << reading.name;
}

class SettingsReadTest : public ::testing::TestWithParam<Reading>
{
};

TEST_P(SettingsReadTest, ReadsFirstAssignment)
{
    TempDir temp;
    WorkingDirectoryScope scope(temp.path());
    writeFile(kSettings, GetParam().input);
    EXPECT_EQ(readLanguageSetting(), GetParam().language);
    EXPECT_EQ(readDirectorySetting(), fs::path(GetParam().directory));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SettingsReadTest,
    ::testing::Values(
        Reading{"Shipped", "-- c\r\nlocal Language = \"EN\"\r\nlocal DIRECTORY = \"\"\r\n", "EN",
                ""},
        Reading{"CommentLineSkipped", "  -- local Language = \"CN\"\r\nlocal Language = \"RU\"\r\n",
                "RU", ""},
        Reading{"WithoutLocalOrBlanks", "Language=\"CN\"\nDIRECTORY=\"C:\\Mods\"", "CN",
                "C:\\Mods"},
        Reading{"FirstWinsEvenWhenEmpty",
                "local Language = \"\"\nlocal Language = \"RU\"\nDIRECTORY = \"a\"\n"
                "DIRECTORY = \"b\"\n",
                "", "a"},
        Reading{"NoValueOnUnclosedLine", "local Language = \"EN\r\nLanguage = \"RU\"\r\n", "RU",
                ""},
        Reading{"BehindCodeAndInTrailingComment", "x = 1 -- Language = \"CN\"\n", "CN", ""},
        Reading{"WholeWordsOnly", "MyLanguage = \"CN\"\nDIRECTORY_2 = \"x\"\n", "", ""},
        Reading{"CaseSensitive", "language = \"CN\"\nDirectory = \"x\"\n", "", ""},
        Reading{"VerticalTabs", "\vLanguage\v=\v\"CN\"\n\v--DIRECTORY=\"x\"\n", "CN", ""},
        Reading{"HighBytesAreNotWordBytes", "\xC3Language = \"\xC3\xA9\"\n", "\xC3\xA9", ""},
        Reading{"Empty", "", "", ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SettingsFileTest, MissingFileReadsEmptyAndIsNeverCreated)
{
    fs::create_directory("mods");
    EXPECT_EQ(readLanguageSetting(), "");
    EXPECT_EQ(readDirectorySetting(), fs::path());
    saveLanguage(UiLanguage::Russian);
    saveDirectory("mods");
    EXPECT_FALSE(fs::exists("data"));

    fs::create_directory("data");
    saveLanguage(UiLanguage::Russian);
    saveDirectory("mods");
    EXPECT_TRUE(fs::is_empty("data"));
}

TEST_F(SettingsFileTest, SettingsFolderInsteadOfFileIsLeftAlone)
{
    fs::create_directories(kSettings);
    EXPECT_EQ(readLanguageSetting(), "");
    saveLanguage(UiLanguage::Russian);
    EXPECT_TRUE(fs::is_directory(kSettings));
    EXPECT_TRUE(fs::is_empty(kSettings));
}

TEST_F(SettingsFileTest, DirectoryThatWouldBreakTheFileIsNotSaved)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names cannot hold quotes or line breaks";
#endif
    const std::string original = "local DIRECTORY = \"old\"\r\n";
    writeFile(kSettings, original);
    for (const char *name : {"with \"quote\"", "with\rreturn", "with\nfeed"}) {
        fs::create_directory(name);
        saveDirectory(name);
        EXPECT_EQ(readFile(kSettings), original) << name;
    }
}

TEST_F(SettingsFileTest, WriteKeepsPermissionsAndLeavesNoTemporaryFile)
{
    writeFile(kSettings, "local Language = \"EN\"\r\n");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    if (kHasPosixModes)
        fs::permissions(kSettings, mode);
#ifdef _WIN32
    const std::wstring name = (m_temp / kSettings).wstring();
    ASSERT_TRUE(SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_HIDDEN));
#endif
    saveLanguage(UiLanguage::Chinese);
    EXPECT_EQ(readFile(kSettings), "local Language = \"CN\"\r\n");
    if (kHasPosixModes) {
        EXPECT_EQ(fs::status(kSettings).permissions(), mode);
    }
#ifdef _WIN32
    EXPECT_TRUE(GetFileAttributesW(name.c_str()) & FILE_ATTRIBUTE_HIDDEN);
#endif
    EXPECT_TRUE(strayFiles().empty());
}

#ifdef _WIN32
TEST_F(SettingsFileTest, FileHeldWithoutDeleteSharingIsReplacedOnlyOnceReleased)
{
    const std::string original = "local Language = \"EN\"\r\n";
    writeFile(kSettings, original);
    const std::wstring name = (m_temp / kSettings).wstring();
    const auto holdOpen = [&name] {
        return CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    };
    HANDLE held = holdOpen();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::error_code failure;
    saveLanguage(UiLanguage::Russian, &failure);
    CloseHandle(held);
    EXPECT_TRUE(failure);
    EXPECT_EQ(readFile(kSettings), original);
    EXPECT_EQ(strayFiles(), std::vector<std::string>());

    // Let go while the write is still trying.
    held = holdOpen();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(250);
        CloseHandle(held);
    });
    failure.clear();
    saveLanguage(UiLanguage::Russian, &failure);
    release.join();
    EXPECT_FALSE(failure) << failure.message();
    EXPECT_EQ(readFile(kSettings), "local Language = \"RU\"\r\n");
    EXPECT_TRUE(strayFiles().empty());
}
#endif

TEST_F(SettingsFileTest, LinkedSettingsFileStaysALink)
{
    if (!kCanCreateSymlinks)
        GTEST_SKIP() << kNoSymlinks;
    writeFile(m_temp / "real" / "root.lua", "local Language = \"EN\"\r\n");
    fs::create_directory("data");
    fs::create_symlink(m_temp / "real" / "root.lua", kSettings);
    saveLanguage(UiLanguage::Russian);
    EXPECT_TRUE(fs::is_symlink(kSettings));
    EXPECT_EQ(readFile(m_temp / "real" / "root.lua"), "local Language = \"RU\"\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_temp / "real"), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileTest, FailedReplaceLeavesTargetAndNoTemporaryFile)
{
    // Renaming a file over a folder fails even for root.
    fs::create_directories(m_temp / "data" / "root.lua" / "inside");
    EXPECT_FALSE(replaceFileContents(kSettings, "new"));
    EXPECT_TRUE(fs::is_directory(m_temp / "data" / "root.lua" / "inside"));
    EXPECT_TRUE(strayFiles().empty());
}

#ifndef _WIN32

// Runs the settings child as an unprivileged user on this test's folder.
class UnprivilegedSettingsTest : public SettingsFileTest
{
protected:
    void SetUp() override
    {
        m_child = shareProgram(TESSEL3_SETTINGS_CHILD, m_temp.path());
        const auto prefix = unprivilegedPrefix(m_child);
        if (!prefix)
            GTEST_SKIP() << "cannot run a program as an unprivileged user here";
        m_prefix = *prefix;
    }

    ChildResult run(const std::vector<std::string> &arguments)
    {
        std::vector<std::string> command = m_prefix;
        command.push_back(m_child.string());
        command.push_back(m_temp.path().string());
        command.insert(command.end(), arguments.begin(), arguments.end());
        return runChild(command);
    }

    fs::path m_child;
    std::vector<std::string> m_prefix;
};

constexpr auto kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr auto kReadOnlyFolder =
    kReadOnly | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;

TEST_F(UnprivilegedSettingsTest, ReadOnlyFileInWritableFolderIsNotReplaced)
{
    const std::string original = "local Language = \"EN\"\r\n";
    writeFile(kSettings, original);
    fs::create_directory("mods");
    fs::permissions("data", fs::perms::all);
    fs::permissions(kSettings, kReadOnly);
    EXPECT_EQ(run({"save-language", "RU"}).exitCode, 0);
    EXPECT_EQ(run({"save-directory", "mods"}).exitCode, 0);
    EXPECT_EQ(readFile(kSettings), original);
    EXPECT_TRUE(strayFiles().empty());
    EXPECT_EQ(run({"read-language"}).output, "EN");
}

TEST_F(UnprivilegedSettingsTest, WritableFileInReadOnlyFolderIsLeftAlone)
{
    const std::string original = "local Language = \"EN\"\r\n";
    writeFile(kSettings, original);
    fs::permissions(kSettings, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                                   ~fs::perms::others_exec);
    fs::permissions("data", kReadOnlyFolder);
    EXPECT_EQ(run({"save-language", "RU"}).exitCode, 0);
    EXPECT_EQ(readFile(kSettings), original);
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(UnprivilegedSettingsTest, UnreadableFileAndFolderReadAsEmpty)
{
    writeFile(kSettings, "local Language = \"RU\"\r\nlocal DIRECTORY = \"x\"\r\n");
    fs::permissions(kSettings, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions("data", fs::perms::all);
    const ChildResult unreadableFile = run({"read-language"});
    EXPECT_EQ(unreadableFile.exitCode, 0);
    EXPECT_EQ(unreadableFile.output, "");

    // The existence test itself fails here: still no crash, just nothing.
    fs::permissions("data", fs::perms::owner_all);
    const ChildResult closedFolder = run({"read-directory"});
    EXPECT_EQ(closedFolder.exitCode, 0);
    EXPECT_EQ(closedFolder.output, "");
    EXPECT_EQ(run({"save-language", "CN"}).exitCode, 0);
    fs::permissions("data", fs::perms::all);
    EXPECT_EQ(readFile(kSettings), "local Language = \"RU\"\r\nlocal DIRECTORY = \"x\"\r\n");
}

#endif

} // namespace
