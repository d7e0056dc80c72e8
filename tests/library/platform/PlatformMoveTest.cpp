#include "library/platform/PlatformMove.h"

#include "tests/support/PlatformLimits.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

#ifdef __linux__
#include <cstddef>
#include <cstdlib>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/fs.h>
#include <linux/seccomp.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
// The Wine run maps this drive to a folder on another file system.
constexpr char kOtherFileSystem[] = "T:\\";
#else
constexpr char kOtherFileSystem[] = "/dev/shm";
#endif

// A folder on another file system than the temporary folder, or empty.
fs::path otherFileSystemFolder(const TempDir &temp)
{
    std::error_code error;
    const FileIdentity here = platformFileIdentity(temp.path(), error);
    const fs::path shm = kOtherFileSystem;
    const FileIdentity there = platformFileIdentity(shm, error);
    if (error || there.device == here.device)
        return {};
    return shm;
}

} // namespace

TEST(PlatformMoveTest, NeverReplacesAnExistingDestination)
{
    TempDir temp;
    writeFile(temp / "entry.lua", "up");
    writeFile(temp / "store" / "entry.lua", "down");
    const auto code = platformMoveFile(temp / "entry.lua", temp / "store" / "entry.lua");
    ASSERT_TRUE(code);
#ifdef _WIN32
    EXPECT_EQ(*code, static_cast<unsigned long>(ERROR_ALREADY_EXISTS));
#else
    EXPECT_EQ(*code, static_cast<unsigned long>(EEXIST));
#endif
    EXPECT_EQ(readFile(temp / "entry.lua"), "up");
    EXPECT_EQ(readFile(temp / "store" / "entry.lua"), "down");
}

TEST(PlatformMoveTest, IdentityFollowsTheFileNotItsName)
{
    TempDir temp;
    writeFile(temp / "sub" / "a.lua", "a");
    writeFile(temp / "b.lua", "a");
    fs::create_hard_link(temp / "sub" / "a.lua", temp / "linked.lua");
    std::error_code error;
    const FileIdentity a = platformFileIdentity(temp / "sub" / "a.lua", error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_EQ(platformFileIdentity(temp / "linked.lua", error), a);
    EXPECT_EQ(platformFileIdentity(temp / "sub" / ".." / "sub" / "a.lua", error), a);
    EXPECT_NE(platformFileIdentity(temp / "b.lua", error), a);
    EXPECT_NE(platformFileIdentity(temp / "sub", error), a);
    platformFileIdentity(temp / "missing.lua", error);
    EXPECT_TRUE(error);
}

TEST(PlatformMoveTest, MissingSourceFailsAndCreatesNothing)
{
    TempDir temp;
    const auto code = platformMoveFile(temp / "gone.lua", temp / "entry.lua");
    ASSERT_TRUE(code);
#ifdef _WIN32
    EXPECT_EQ(*code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
#else
    EXPECT_EQ(*code, static_cast<unsigned long>(ENOENT));
#endif
    EXPECT_FALSE(fs::exists(temp / "entry.lua"));
}

TEST(PlatformMoveTest, CrossesFileSystemsKeepingModeAndRefusingExisting)
{
    TempDir temp;
    const fs::path other = otherFileSystemFolder(temp);
    if (other.empty())
        GTEST_SKIP() << "no second file system (" << kOtherFileSystem << ") next to "
                     << temp.path();
    const fs::path destination = other / ("tessel3-move-" + temp.path().filename().string());
    writeFile(temp / "entry.lua", "across");
    if (kHasPosixModes)
        fs::permissions(temp / "entry.lua", fs::perms(0606));

    EXPECT_FALSE(platformMoveFile(temp / "entry.lua", destination));
    EXPECT_FALSE(fs::exists(temp / "entry.lua"));
    EXPECT_EQ(readFile(destination), "across");
    if (kHasPosixModes) {
        EXPECT_EQ(fs::status(destination).permissions(), fs::perms(0606));
    }

    writeFile(temp / "entry.lua", "second");
    const auto refused = platformMoveFile(temp / "entry.lua", destination);
    ASSERT_TRUE(refused);
#ifdef _WIN32
    EXPECT_EQ(*refused, static_cast<unsigned long>(ERROR_ALREADY_EXISTS));
#endif
    EXPECT_EQ(readFile(temp / "entry.lua"), "second");
    EXPECT_EQ(readFile(destination), "across");
    fs::remove(destination);
}

#ifdef __linux__
TEST(PlatformMoveTest, CrossingCountsAsDoneWhenTheSourceCannotBeDeleted)
{
    TempDir temp;
    const fs::path other = otherFileSystemFolder(temp);
    if (other.empty())
        GTEST_SKIP() << "no second file system (/dev/shm) next to " << temp.path();
    writeFile(temp / "entry.lua", "stays");
    const int fd = ::open((temp / "entry.lua").c_str(), O_RDONLY);
    int flags = 0;
    const bool immutable = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                           (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (!immutable) {
        if (fd >= 0)
            ::close(fd);
        GTEST_SKIP() << "cannot make a file undeletable here (needs root and chattr support)";
    }
    const fs::path destination = other / ("tessel3-move-" + temp.path().filename().string());

    const auto code = platformMoveFile(temp / "entry.lua", destination);

    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    EXPECT_FALSE(code);
    EXPECT_EQ(readFile(destination), "stays");
    EXPECT_EQ(readFile(temp / "entry.lua"), "stays");
    fs::remove(destination);
}
#endif

#if defined(__linux__) && defined(SYS_renameat2)
namespace {

// In a child: the kernel now answers renameat2 as a file system without
// RENAME_NOREPLACE does; exits 0 when the move succeeded, 1 when it failed.
[[noreturn]] void moveWithoutNoReplace(const fs::path &from, const fs::path &to)
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_renameat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (EINVAL & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
        std::_Exit(2);
    std::_Exit(platformMoveFile(from, to) ? 1 : 0);
}

} // namespace

TEST(PlatformMoveTest, FallsBackToLinkAndUnlinkWithoutNoReplace)
{
    TempDir temp;
    writeFile(temp / "entry.lua", "up");
    writeFile(temp / "store" / "entry.lua", "down");
    EXPECT_EXIT(moveWithoutNoReplace(temp / "entry.lua", temp / "store" / "entry.lua"),
                testing::ExitedWithCode(1), "");
    EXPECT_EQ(readFile(temp / "entry.lua"), "up");
    EXPECT_EQ(readFile(temp / "store" / "entry.lua"), "down");

    EXPECT_EXIT(moveWithoutNoReplace(temp / "entry.lua", temp / "moved.lua"),
                testing::ExitedWithCode(0), "");
    EXPECT_FALSE(fs::exists(temp / "entry.lua"));
    EXPECT_EQ(readFile(temp / "moved.lua"), "up");
}
#endif
