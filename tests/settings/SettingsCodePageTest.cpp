#include "settings/SettingsFile.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace fs = std::filesystem;

namespace {

// The folder name and the bytes the settings file must hold for it under one
// ANSI code page; no bytes when the code page cannot hold the name.
struct CodePageCase
{
    UINT codePage;
    const wchar_t *folder;
    const char *bytes;
};

const CodePageCase kCases[] = {
    {936, L"\u6a21\u7ec4", "\xc4\xa3\xd7\xe9"},                   // 模组 in GBK
    {1251, L"\u041c\u043e\u0434\u044b", "\xcc\xee\xe4\xfb"},       // Моды
    {1251, L"\u6a21\u7ec4", nullptr},                              // 模组: refused
    {1252, L"\u041c\u043e\u0434\u044b", nullptr},                  // Моды: refused
};

} // namespace

// Run once per code page (Wine takes it from LANG); only the rows of the
// process's code page apply.
TEST(SettingsCodePageTest, DirectoryIsStoredInTheAnsiCodePageOrNotAtAll)
{
    int rows = 0;
    for (const CodePageCase &c : kCases) {
        if (c.codePage != GetACP())
            continue;
        ++rows;
        SCOPED_TRACE(testing::Message() << c.codePage << (c.bytes ? " stores" : " refuses"));
        TempDir temp;
        WorkingDirectoryScope scope(temp.path());
        const std::string original = "local DIRECTORY = \"\"\r\n";
        writeFile(fs::path("data") / "root.lua", original);
        const fs::path folder = temp.path() / c.folder;
        fs::create_directory(folder);

        saveDirectory(folder);

        const std::string stored = readFile(fs::path("data") / "root.lua");
        if (!c.bytes) {
            EXPECT_EQ(stored, original);
            continue;
        }
        // The temporary folder's own name is ASCII.
        EXPECT_EQ(stored, "local DIRECTORY = \"" + temp.path().string() + "\\" + c.bytes + "\"\r\n");
        EXPECT_EQ(readDirectorySetting(), folder);
    }
    if (rows == 0)
        GTEST_SKIP() << "no case for the ANSI code page " << GetACP();
}
