#include "library/platform/PlatformCopy.h"

#include "library/platform/FileDescriptor.h"
#include "library/platform/PlatformMove.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <io.h>
#else
#include <sys/types.h>
#include <unistd.h>

#include <vector>
#endif

namespace fs = std::filesystem;

namespace {

std::error_code fromErrno(int code)
{
    return {code, std::generic_category()};
}

#ifdef _WIN32

// The codes callers tell apart, as portable conditions; the rest as they come.
std::error_code fromWindows(DWORD code)
{
    switch (code) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return std::make_error_code(std::errc::file_exists);
    case ERROR_REQUEST_ABORTED:
        return std::make_error_code(std::errc::operation_canceled);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::make_error_code(std::errc::no_space_on_device);
    default:
        return {static_cast<int>(code), std::system_category()};
    }
}

DWORD CALLBACK copyProgress(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                            HANDLE, HANDLE, LPVOID data)
{
    const auto &cancelled = *static_cast<const std::function<bool()> *>(data);
    return cancelled && cancelled() ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

std::error_code copyToTemporary(const fs::path &from, const fs::path &temporary,
                                const std::function<bool()> &cancelled)
{
    auto callback = cancelled;
    if (!CopyFileExW(from.c_str(), temporary.c_str(), copyProgress, &callback, nullptr,
                     COPY_FILE_FAIL_IF_EXISTS))
        return fromWindows(GetLastError());
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return fromWindows(GetLastError());
    const bool flushed = FlushFileBuffers(file);
    const DWORD code = GetLastError();
    CloseHandle(file);
    return flushed ? std::error_code() : fromWindows(code);
}

void removeFile(const fs::path &path)
{
    DeleteFileW(path.c_str());
}

#else

int copyByReading(int from, int to, const std::function<bool()> &cancelled)
{
    std::vector<char> buffer(1 << 17);
    for (;;) {
        if (cancelled && cancelled())
            return ECANCELED;
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

// copy_file_range clones on Btrfs and XFS and copies in the kernel elsewhere;
// in slices, so that Cancel is heard inside a large file.
int copyContents(int from, int to, const std::function<bool()> &cancelled)
{
    constexpr size_t kSlice = 16 << 20;
    for (bool first = true;; first = false) {
        if (cancelled && cancelled())
            return ECANCELED;
        const ssize_t done = ::copy_file_range(from, nullptr, to, nullptr, kSlice, 0);
        if (done == 0)
            return 0;
        if (done > 0)
            continue;
        if (errno == EINTR)
            continue;
        // Not across these file systems, or not on this kernel: copy by reading.
        if (first && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                      errno == EOPNOTSUPP || errno == EBADF))
            return copyByReading(from, to, cancelled);
        return errno;
    }
}

std::error_code copyToTemporary(const fs::path &from, const fs::path &temporary,
                                const std::function<bool()> &cancelled)
{
    FileDescriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return fromErrno(errno);
    struct stat info
    {
    };
    if (::fstat(in.get(), &info) != 0)
        return fromErrno(errno);
    FileDescriptor out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                          info.st_mode & 0777));
    if (out.get() < 0)
        return fromErrno(errno);
    int error = copyContents(in.get(), out.get(), cancelled);
    if (error == 0 && ::fdatasync(out.get()) != 0)
        error = errno;
    if (error == 0)
        error = out.close();
    return error == 0 ? std::error_code() : fromErrno(error);
}

void removeFile(const fs::path &path)
{
    ::unlink(path.c_str());
}

#endif

} // namespace

std::error_code copyFileNoReplace(const fs::path &from, const fs::path &to, const fs::path &temporary,
                                  const std::function<bool()> &cancelled)
{
    std::error_code error;
    if (fs::exists(fs::symlink_status(to, error)))
        return std::make_error_code(std::errc::file_exists);
    error = copyToTemporary(from, temporary, cancelled);
    if (!error) {
        if (const std::optional<unsigned long> code = platformMoveFile(temporary, to)) {
#ifdef _WIN32
            error = fromWindows(static_cast<DWORD>(*code));
#else
            error = fromErrno(static_cast<int>(*code));
#endif
        }
    }
    if (error)
        removeFile(temporary);
    return error;
}

NewFile::NewFile(const fs::path &path, std::error_code &error)
{
#ifdef _WIN32
    m_fd = ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
#else
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
#endif
    error = m_fd < 0 ? fromErrno(errno) : std::error_code();
}

NewFile::~NewFile()
{
    if (m_fd >= 0)
#ifdef _WIN32
        ::_close(m_fd);
#else
        ::close(m_fd);
#endif
}

std::error_code NewFile::write(const void *data, std::size_t size)
{
    const char *bytes = static_cast<const char *>(data);
    while (size > 0) {
#ifdef _WIN32
        const unsigned slice = static_cast<unsigned>(std::min<std::size_t>(size, 1U << 30));
        const int put = ::_write(m_fd, bytes, slice);
#else
        const ssize_t put = ::write(m_fd, bytes, size);
        if (put < 0 && errno == EINTR)
            continue;
#endif
        if (put < 0)
            return fromErrno(errno);
        bytes += put;
        size -= static_cast<std::size_t>(put);
    }
    return {};
}

std::error_code NewFile::seek(std::uint64_t offset)
{
#ifdef _WIN32
    if (::_lseeki64(m_fd, static_cast<__int64>(offset), SEEK_SET) < 0)
#else
    if (::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0)
#endif
        return fromErrno(errno);
    return {};
}

std::error_code NewFile::close(std::uint64_t size)
{
#ifdef _WIN32
    // The end of the file where the size says, past 2 GB too.
    const auto file = reinterpret_cast<HANDLE>(::_get_osfhandle(m_fd));
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool resized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    const DWORD code = GetLastError();
    const int closed = ::_close(m_fd);
    m_fd = -1;
    if (!resized)
        return fromWindows(code);
#else
    const int resized = ::ftruncate(m_fd, static_cast<off_t>(size)) == 0 ? 0 : errno;
    const int closed = ::close(m_fd);
    m_fd = -1;
    if (resized != 0)
        return fromErrno(resized);
#endif
    return closed == 0 ? std::error_code() : fromErrno(errno);
}
