#include "library/platform/TrashPlatform.h"

namespace fs = std::filesystem;

namespace {

// A category of its own, so that the interface can name the reason.
class TrashCategory : public std::error_category
{
public:
    const char *name() const noexcept override
    {
        return "trash";
    }
    std::string message(int) const override
    {
        return "no trash on this drive";
    }
};

} // namespace

std::error_code noTrashOnThisDrive()
{
    static const TrashCategory category;
    return {1, category};
}

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

std::error_code recycleBinRefusal(const fs::path &folder)
{
    std::error_code error;
    const fs::path root = fs::absolute(folder, error).root_path();
    if (error)
        return error;
    SHQUERYRBINFO info{};
    info.cbSize = sizeof(info);
    if (SUCCEEDED(SHQueryRecycleBinW(root.c_str(), &info)))
        return {};
    return noTrashOnThisDrive();
}

#else

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::error_code lastError()
{
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

// A folder of ours: made with owner-only access when missing, never a link.
bool ownFolder(const fs::path &folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat status;
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The trash folder's "files" and "info" exist and lie on the device.
bool usableTrash(const fs::path &trash, dev_t device)
{
    if (!ownFolder(trash) || !ownFolder(trash / "files") || !ownFolder(trash / "info"))
        return false;
    struct stat status;
    return ::stat((trash / "files").c_str(), &status) == 0 && status.st_dev == device;
}

bool makeParents(const fs::path &folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    return !error && fs::is_directory(folder, error);
}

// The highest folder above `path` on the same device: where the device is mounted.
fs::path topFolderOf(const fs::path &path, dev_t device)
{
    fs::path top = path;
    for (fs::path above = top.parent_path(); above != top; above = top.parent_path()) {
        struct stat status;
        if (::stat(above.c_str(), &status) != 0 || status.st_dev != device)
            break;
        top = above;
    }
    return top;
}

fs::path trashFor(const fs::path &folder, dev_t device)
{
    const char *dataHome = std::getenv("XDG_DATA_HOME");
    const char *home = std::getenv("HOME");
    fs::path homeData;
    if (dataHome && fs::path(dataHome).is_absolute())
        homeData = dataHome;
    else if (home && fs::path(home).is_absolute())
        homeData = fs::path(home) / ".local" / "share";
    if (!homeData.empty()) {
        struct stat status;
        // The home trash only for folders on its own device: a rename cannot cross.
        if (makeParents(homeData) && ::stat(homeData.c_str(), &status) == 0 &&
            status.st_dev == device && usableTrash(homeData / "Trash", device))
            return homeData / "Trash";
    }
    const fs::path top = topFolderOf(folder, device);
    const std::string uid = std::to_string(::getuid());
    struct stat shared;
    // A shared .Trash counts only when it is a real, sticky folder.
    if (::lstat((top / ".Trash").c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX) && usableTrash(top / ".Trash" / uid, device))
        return top / ".Trash" / uid;
    if (usableTrash(top / (".Trash-" + uid), device))
        return top / (".Trash-" + uid);
    return {};
}

std::string percentEncoded(const std::string &path)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char byte : path) {
        const auto value = static_cast<unsigned char>(byte);
        if ((value >= 'a' && value <= 'z') || (value >= 'A' && value <= 'Z') ||
            (value >= '0' && value <= '9') || byte == '/' || byte == '-' || byte == '_' ||
            byte == '.' || byte == '~') {
            encoded += byte;
        } else {
            encoded += '%';
            encoded += digits[value >> 4];
            encoded += digits[value & 0xf];
        }
    }
    return encoded;
}

std::string deletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

} // namespace

std::error_code moveFolderToTrash(const fs::path &folder)
{
    std::error_code error;
    const fs::path source = fs::absolute(folder, error).lexically_normal();
    if (error)
        return error;
    struct stat status;
    if (::lstat(source.c_str(), &status) != 0)
        return lastError();
    const fs::path trash = trashFor(source, status.st_dev);
    if (trash.empty())
        return noTrashOnThisDrive();

    const std::string info = "[Trash Info]\nPath=" + percentEncoded(source.string()) +
                             "\nDeletionDate=" + deletionDate() + "\n";
    const std::string base = source.filename().string();
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string name = attempt == 1 ? base : base + "." + std::to_string(attempt);
        const fs::path infoFile = trash / "info" / (name + ".trashinfo");
        // The info file claims the name first, as other programs do.
        errno = 0;
        const int descriptor = ::open(infoFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (descriptor < 0) {
            if (errno == EEXIST)
                continue;
            return lastError();
        }
        const bool written = ::write(descriptor, info.data(), info.size()) ==
                             static_cast<ssize_t>(info.size());
        ::close(descriptor);
        const fs::path target = trash / "files" / name;
        if (!written) {
            ::unlink(infoFile.c_str());
            return std::make_error_code(std::errc::io_error);
        }
        struct stat existing;
        if (::lstat(target.c_str(), &existing) == 0) {
            ::unlink(infoFile.c_str()); // the name is taken in files/ without an info file
            continue;
        }
        errno = 0;
        if (::rename(source.c_str(), target.c_str()) == 0)
            return {};
        const std::error_code reason = lastError();
        ::unlink(infoFile.c_str());
        return reason;
    }
    return std::make_error_code(std::errc::file_exists);
}

#endif
