#include "library/platform/FileReplace.h"

#include "library/platform/FileBytes.h"

#include <cerrno>
#include <random>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// A hidden name beside the target; the random part keeps concurrent writers
// and files left by a killed run out of each other's way.
fs::path temporaryNameBeside(const fs::path &target)
{
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::string suffix = ".";
    for (auto value = generator(); value != 0; value >>= 4)
        suffix += digits[value & 0xf];
    suffix += ".tmp";
    fs::path name = ".";
    name += target.filename();
    name += suffix;
    return target.parent_path() / name;
}

#ifdef _WIN32

int createExclusive(const fs::path &path)
{
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}

bool writeAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const unsigned chunk = bytes.size() > (1u << 30) ? (1u << 30) : unsigned(bytes.size());
        const int written = ::_write(descriptor, bytes.data(), chunk);
        if (written <= 0)
            return false;
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

// The read-only attribute is all of the permissions that Windows keeps here.
bool copyOwnerAndMode(int, const fs::path &)
{
    return true;
}

bool flushToDisk(int descriptor)
{
    return ::_commit(descriptor) == 0;
}

bool closeDescriptor(int descriptor)
{
    return ::_close(descriptor) == 0;
}

// Windows makes a rename durable without a flush of the folder.
void flushFolderToDisk(const fs::path &) {}

// The game, a virus scanner or an indexer may hold the file open for a moment
// without letting anyone replace it; such a refusal is tried again briefly.
bool isPassingRefusal(DWORD code)
{
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
           code == ERROR_ACCESS_DENIED;
}

std::error_code replaceWithTemporary(const fs::path &temporary, const fs::path &target)
{
    constexpr int attempts = 10;
    constexpr DWORD pauseMilliseconds = 100;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {static_cast<int>(GetLastError()), std::system_category()};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {ERROR_ACCESS_DENIED, std::system_category()};
    // The replacement takes the old file's attributes, as an edit in place would.
    const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept)
        SetFileAttributesW(temporary.c_str(), kept);
    DWORD code = ERROR_SUCCESS;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0)
            Sleep(pauseMilliseconds);
        // ReplaceFileW would keep the access list too, but under Wine it leaves
        // files of its own behind when the target is held open.
        if (MoveFileExW(temporary.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        code = GetLastError();
        if (!isPassingRefusal(code))
            break;
    }
    return {static_cast<int>(code), std::system_category()};
}

#else

int createExclusive(const fs::path &path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

bool writeAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

bool copyOwnerAndMode(int descriptor, const fs::path &original)
{
    struct stat status;
    if (::stat(original.c_str(), &status) != 0)
        return false;
    // Only root may give the file away; for anyone else the owner is already right.
    if (::fchown(descriptor, status.st_uid, status.st_gid) != 0 && errno != EPERM)
        return false;
    return ::fchmod(descriptor, status.st_mode & 07777) == 0;
}

bool flushToDisk(int descriptor)
{
    return ::fsync(descriptor) == 0;
}

bool closeDescriptor(int descriptor)
{
    return ::close(descriptor) == 0;
}

void flushFolderToDisk(const fs::path &folder)
{
    const int descriptor =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

std::error_code replaceWithTemporary(const fs::path &temporary, const fs::path &target)
{
    std::error_code error;
    fs::rename(temporary, target, error);
    return error;
}

#endif

} // namespace

std::optional<std::string> readFileForUpdate(const fs::path &file, std::error_code &failure)
{
    failure.clear();
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    // No file, or no folder to hold it: nothing to update and nothing wrong.
    if (status.type() == fs::file_type::not_found || error == std::errc::not_a_directory)
        return std::nullopt;
    if (error) {
        failure = error;
        return std::nullopt;
    }
    if (!fs::is_regular_file(status)) {
        failure = std::make_error_code(fs::is_directory(status) ? std::errc::is_a_directory
                                                                : std::errc::invalid_argument);
        return std::nullopt;
    }
    const auto size = fs::file_size(file, error);
    if (error) {
        failure = error;
        return std::nullopt;
    }
    FileBytes bytes;
    if (!bytes.read(file, true, &failure))
        return std::nullopt;
    // A short read would turn into a truncated file on the way back.
    if (bytes.view().size() != size) {
        failure = std::make_error_code(std::errc::io_error);
        return std::nullopt;
    }
    return std::string(bytes.view());
}

bool replaceFileContents(const fs::path &file, std::string_view bytes, std::error_code *failure)
{
    const auto fail = [failure](std::error_code reason) {
        if (failure)
            *failure = reason;
        return false;
    };
    const auto lastSystemError = [] {
        return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    };
    std::error_code error;
    // Replacing a link would cut it; the file it points at is replaced instead.
    const fs::path target = fs::is_symlink(file, error) ? fs::canonical(file, error) : file;
    if (error)
        return fail(error);

    fs::path temporary;
    int descriptor = -1;
    for (int attempt = 0; attempt < 16 && descriptor < 0; ++attempt) {
        temporary = temporaryNameBeside(target);
        errno = 0;
        descriptor = createExclusive(temporary);
        if (descriptor < 0 && errno != EEXIST)
            return fail(lastSystemError());
    }
    if (descriptor < 0)
        return fail(std::make_error_code(std::errc::file_exists));

    errno = 0;
    bool ok = writeAll(descriptor, bytes) && copyOwnerAndMode(descriptor, target) &&
              flushToDisk(descriptor);
    std::error_code reason = ok ? std::error_code() : lastSystemError();
    if (!closeDescriptor(descriptor) && ok) {
        ok = false;
        reason = lastSystemError();
    }
    if (ok) {
        reason = replaceWithTemporary(temporary, target);
        ok = !reason;
    }
    if (!ok) {
        fs::remove(temporary, error);
        return fail(reason);
    }
    flushFolderToDisk(target.parent_path());
    return true;
}
