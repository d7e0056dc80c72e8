#include "library/platform/TrashPlatform.h"

#include "tests/support/TempDir.h"
#include "tests/support/TmpfsMount.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32

TEST(Trash, IsTheShellsOnWindows)
{
    GTEST_SKIP() << "on Windows the shell moves folders to the recycle bin; the interface test "
                    "covers it as far as Wine goes";
}

#else

namespace {

// Points HOME and XDG_DATA_HOME into the test's folder, so the user's own
// trash is never touched, and restores them afterwards.
class TrashHomeScope
{
public:
    explicit TrashHomeScope(const fs::path &home, const fs::path &dataHome)
        : m_home(saved("HOME")), m_dataHome(saved("XDG_DATA_HOME"))
    {
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    }
    ~TrashHomeScope()
    {
        restore("HOME", m_home);
        restore("XDG_DATA_HOME", m_dataHome);
    }
    TrashHomeScope(const TrashHomeScope &) = delete;
    TrashHomeScope &operator=(const TrashHomeScope &) = delete;

private:
    static std::optional<std::string> saved(const char *name)
    {
        const char *value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void restore(const char *name, const std::optional<std::string> &value)
    {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }

    std::optional<std::string> m_home;
    std::optional<std::string> m_dataHome;
};

} // namespace

TEST(Trash, FolderGoesToTheHomeTrashWithItsInfo)
{
    TempDir dir;
    TrashHomeScope scope(dir.path(), dir / "xdg");
    writeFile(dir / "mods" / "aircraft" / "Mi 8%" / "entry.lua", "a");
    writeFile(dir / "other" / "Mi 8%" / "entry.lua", "b");
    ASSERT_FALSE(moveFolderToTrash(dir / "mods" / "aircraft" / "Mi 8%"));
    ASSERT_FALSE(moveFolderToTrash(dir / "other" / "Mi 8%"));
    EXPECT_FALSE(fs::exists(dir / "mods" / "aircraft" / "Mi 8%"));
    EXPECT_EQ(readFile(dir / "xdg" / "Trash" / "files" / "Mi 8%" / "entry.lua"), "a");
    EXPECT_EQ(readFile(dir / "xdg" / "Trash" / "files" / "Mi 8%.2" / "entry.lua"), "b");
    const std::string info = readFile(dir / "xdg" / "Trash" / "info" / "Mi 8%.trashinfo");
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=", 0), 0U) << info;
    EXPECT_NE(info.find("/mods/aircraft/Mi%208%25\nDeletionDate="), std::string::npos) << info;
}

TEST(Trash, AnotherDriveUsesItsOwnTrashOrRefuses)
{
    TempDir dir;
    TrashHomeScope scope(dir.path(), dir / "xdg");
    TmpfsMount drive(dir / "drive", 1024 * 1024);
    if (!drive.mounted())
        GTEST_SKIP() << "needs root to mount a second drive";
    const std::string ownTrash = ".Trash-" + std::to_string(::getuid());
    writeFile(dir / "drive" / "mods" / "a" / "entry.lua", "a");
    writeFile(dir / "drive" / "mods" / "b" / "entry.lua", "b");
    ASSERT_FALSE(moveFolderToTrash(dir / "drive" / "mods" / "a"));
    EXPECT_EQ(readFile(dir / "drive" / ownTrash / "files" / "a" / "entry.lua"), "a");
    EXPECT_FALSE(fs::exists(dir / "xdg" / "Trash" / "files" / "a"));

    // No trash can be made there: the folder stays, nothing is copied.
    fs::remove_all(dir / "drive" / ownTrash);
    writeFile(dir / "drive" / ownTrash, "a file in the way");
    EXPECT_EQ(moveFolderToTrash(dir / "drive" / "mods" / "b"), noTrashOnThisDrive());
    EXPECT_EQ(readFile(dir / "drive" / "mods" / "b" / "entry.lua"), "b");
    EXPECT_FALSE(fs::exists(dir / "xdg" / "Trash" / "files" / "b"));
}

TEST(Trash, MissingFolderIsRefused)
{
    TempDir dir;
    TrashHomeScope scope(dir.path(), dir / "xdg");
    EXPECT_EQ(moveFolderToTrash(dir / "missing"), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(fs::exists(dir / "xdg" / "Trash" / "info" / "missing.trashinfo"));
}

#endif
