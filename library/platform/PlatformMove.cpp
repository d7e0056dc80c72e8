#include "library/platform/PlatformMove.h"

#include "library/platform/FileDescriptor.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

class HandleGuard
{
public:
    explicit HandleGuard(HANDLE handle) : m_handle(handle) {}
    ~HandleGuard()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    HandleGuard(const HandleGuard &) = delete;
    HandleGuard &operator=(const HandleGuard &) = delete;

    HANDLE get() const
    {
        return m_handle;
    }

private:
    HANDLE m_handle;
};

} // namespace

std::optional<unsigned long> platformMoveFile(const fs::path &source, const fs::path &destination)
{
    // Without MOVEFILE_REPLACE_EXISTING an existing destination is refused.
    if (MoveFileExW(source.c_str(), destination.c_str(), MOVEFILE_COPY_ALLOWED))
        return std::nullopt;
    return static_cast<unsigned long>(GetLastError());
}

void platformListFolder(const fs::path &folder, const std::function<bool(const fs::path &)> &visit,
                        std::error_code &error, bool &opening)
{
    error.clear();
    opening = true;
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = (folder / L"*").native();
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        // An empty drive root lists nothing at all.
        if (code != ERROR_FILE_NOT_FOUND || !fs::is_directory(folder, error))
            error.assign(static_cast<int>(code), std::system_category());
        return;
    }
    const std::unique_ptr<void, BOOL (*)(HANDLE)> closer(search, FindClose);
    opening = false;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (!visit(fs::path(name)))
            return;
    } while (FindNextFileW(search, &found));
    const DWORD code = GetLastError();
    if (code != ERROR_NO_MORE_FILES)
        error.assign(static_cast<int>(code), std::system_category());
}

FileIdentity platformFileIdentity(const fs::path &path, std::error_code &error)
{
    // Backup semantics let the call open folders too; links are followed.
    const HandleGuard handle(CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        error.assign(static_cast<int>(GetLastError()), std::system_category());
        return {};
    }
    error.clear();
    FILE_ID_INFO id{};
    if (GetFileInformationByHandleEx(handle.get(), FileIdInfo, &id, sizeof id)) {
        std::uint64_t halves[2];
        static_assert(sizeof halves == sizeof id.FileId.Identifier);
        std::memcpy(halves, id.FileId.Identifier, sizeof halves);
        return {id.VolumeSerialNumber, halves[0], halves[1]};
    }
    // Before Windows 8, and on file systems that give no 128-bit ids.
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.get(), &info)) {
        error.assign(static_cast<int>(GetLastError()), std::system_category());
        return {};
    }
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, 0};
}

#else

namespace {

int copyContents(int from, int to)
{
    std::vector<char> buffer(1 << 17);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0)
            return 0;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += put;
        }
    }
}

// Across volumes: copy into a destination that this call alone creates, then
// delete the source. A source that cannot be deleted stays, and the move counts.
int copyAcrossVolumes(const char *from, const char *to)
{
    struct stat info
    {
    };
    if (::lstat(from, &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return EXDEV;
    FileDescriptor in(::open(from, O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (in.get() < 0)
        return errno;
    const mode_t mode = info.st_mode & 07777;
    FileDescriptor out(::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (out.get() < 0)
        return errno;
    int error = copyContents(in.get(), out.get());
    if (error == 0) {
        // The umask narrowed the mode at creation; some file systems keep no
        // modes or times at all, which is no reason to fail the move.
        (void)::fchmod(out.get(), mode);
        const struct timespec times[2] = {info.st_atim, info.st_mtim};
        (void)::futimens(out.get(), times);
        error = out.close();
    }
    if (error != 0) {
        ::unlink(to);
        return error;
    }
    (void)::unlink(from);
    return 0;
}

// For file systems that know no RENAME_NOREPLACE: a hard link refuses an
// existing name just as atomically.
int linkThenUnlink(const char *from, const char *to)
{
    if (::link(from, to) != 0)
        return errno;
    if (::unlink(from) != 0) {
        const int error = errno;
        ::unlink(to);
        return error;
    }
    return 0;
}

int renameNoReplace(const char *from, const char *to)
{
#if defined(__linux__) && defined(SYS_renameat2)
    constexpr unsigned int noReplace = 1U << 0; // RENAME_NOREPLACE
    if (::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, noReplace) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP)
        return error;
#endif
    return linkThenUnlink(from, to);
}

} // namespace

std::optional<unsigned long> platformMoveFile(const fs::path &source, const fs::path &destination)
{
    int error = renameNoReplace(source.c_str(), destination.c_str());
    if (error == EXDEV)
        error = copyAcrossVolumes(source.c_str(), destination.c_str());
    if (error == 0)
        return std::nullopt;
    return static_cast<unsigned long>(error);
}

FileIdentity platformFileIdentity(const fs::path &path, std::error_code &error)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0) {
        error.assign(errno, std::generic_category());
        return {};
    }
    error.clear();
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

#endif
