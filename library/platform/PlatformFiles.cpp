#include "library/platform/PlatformFiles.h"

#include "library/platform/FileBytes.h"

#include <cerrno>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <string>
#include <string_view>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32

// NTFS ignores letter case, so only a listing tells the exact name.
bool quickScanCategory(const fs::path &, const char *, const char *,
                       const std::function<std::optional<fs::path>(const fs::path &)> &,
                       std::vector<fs::path> &, const EntryRead &)
{
    return false;
}

#else

namespace {

// Closes the listing on every way out, exceptions included.
class FolderListing
{
public:
    explicit FolderListing(const fs::path &folder) : m_dir(::opendir(folder.c_str())) {}
    ~FolderListing()
    {
        if (m_dir != nullptr)
            ::closedir(m_dir);
    }
    FolderListing(const FolderListing &) = delete;
    FolderListing &operator=(const FolderListing &) = delete;

    DIR *get() const
    {
        return m_dir;
    }

private:
    DIR *m_dir;
};

bool kernelHasFeature(const char *featureFile)
{
    return ::access(featureFile, F_OK) == 0;
}

// True unless the folder's file system is known never to fold letter case: a
// look-up there finds exactly the name asked for.
bool mayFoldCase(int folder)
{
    struct statfs info
    {
    };
    if (::fstatfs(folder, &info) != 0)
        return true;
    constexpr long kBtrfs = 0x9123683E;
    constexpr long kExt4 = 0xEF53; // also ext2 and ext3
    constexpr long kTmpfs = 0x01021994;
    constexpr long kF2fs = 0xF2F52010;
    // These fold only in folders marked for it, and only where the kernel can.
    static const bool ext4Folds = kernelHasFeature("/sys/fs/ext4/features/casefold");
    static const bool tmpfsFolds = kernelHasFeature("/sys/fs/tmpfs/features/casefold");
    static const bool f2fsFolds = kernelHasFeature("/sys/fs/f2fs/features/casefold");
    switch (static_cast<long>(info.f_type)) {
    case kBtrfs:
        return false;
    case kExt4:
        return ext4Folds;
    case kTmpfs:
        return tmpfsFolds;
    case kF2fs:
        return f2fsFolds;
    default:
        return true;
    }
}

enum class LookUp
{
    Found,
    Absent,
    Unsettled,
};

// Where the file system may fold case, a look-up that found `relative` may
// have found another spelling. The same name in capitals is looked up too:
// when that is absent, the folder does not fold and the first look-up was exact.
LookUp exactName(int folder, const std::string &relative, std::size_t nameStart)
{
    std::string capitals = relative;
    for (std::size_t i = nameStart; i < capitals.size(); ++i)
        if (capitals[i] >= 'a' && capitals[i] <= 'z')
            capitals[i] = static_cast<char>(capitals[i] - 'a' + 'A');
    struct stat info
    {
    };
    if (::fstatat(folder, capitals.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT)
        return LookUp::Found;
    return LookUp::Unsettled;
}

// Whether `relative` names an entry below the folder, without following a
// link in its last step (a listing does not either).
LookUp lookUp(int folder, const std::string &relative, std::size_t nameStart, bool verifyCase,
              bool notFolderMeansAbsent)
{
    struct stat info
    {
    };
    if (::fstatat(folder, relative.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        const bool absent = errno == ENOENT || (notFolderMeansAbsent && errno == ENOTDIR);
        return absent ? LookUp::Absent : LookUp::Unsettled;
    }
    return verifyCase ? exactName(folder, relative, nameStart) : LookUp::Found;
}

// The same look-up by opening the entry for reading, which settles most
// entries with one call and leaves them open for the caller. A link does not
// open (the last step is not followed), and any failure but absence goes to
// the plain look-up.
LookUp openEntry(int folder, const std::string &relative, std::size_t nameStart, bool verifyCase,
                 bool notFolderMeansAbsent, int &descriptor)
{
    descriptor = ::openat(folder, relative.c_str(),
                          O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        if (errno == ENOENT || (notFolderMeansAbsent && errno == ENOTDIR))
            return LookUp::Absent;
        return lookUp(folder, relative, nameStart, verifyCase, notFolderMeansAbsent);
    }
    if (verifyCase && exactName(folder, relative, nameStart) != LookUp::Found) {
        ::close(descriptor);
        descriptor = -1;
        return LookUp::Unsettled;
    }
    return LookUp::Found;
}

} // namespace

bool quickScanCategory(const fs::path &category, const char *entryName, const char *storageName,
                       const std::function<std::optional<fs::path>(const fs::path &)> &examine,
                       std::vector<fs::path> &entries, const EntryRead &onRead)
{
    const FolderListing listing(category);
    if (listing.get() == nullptr)
        return false;
    const int folder = ::dirfd(listing.get());
    const bool verifyCase = mayFoldCase(folder);
    std::vector<fs::path> found;
    std::string relative;
    FileBytes bytes;
    for (;;) {
        errno = 0;
        const dirent *item = ::readdir(listing.get());
        if (item == nullptr) {
            if (errno != 0)
                return false;
            break;
        }
        const std::string_view name = item->d_name;
        if (name == "." || name == "..")
            continue;
        // Not a folder, and no link that might lead to one.
        if (item->d_type != DT_DIR && item->d_type != DT_LNK && item->d_type != DT_UNKNOWN)
            continue;
        const auto slowly = [&] {
            if (std::optional<fs::path> entry = examine(category / name))
                found.push_back(std::move(*entry));
        };
        if (item->d_type != DT_DIR) {
            slowly();
            continue;
        }
        relative.assign(name);
        relative += '/';
        const std::size_t modLength = relative.size();
        relative += entryName;
        // Found entries are read on the spot when the caller wants their bytes.
        const auto look = [&](std::size_t nameStart, bool notFolderMeansAbsent) {
            if (!onRead)
                return lookUp(folder, relative, nameStart, verifyCase, notFolderMeansAbsent);
            int descriptor = -1;
            const LookUp result = openEntry(folder, relative, nameStart, verifyCase,
                                            notFolderMeansAbsent, descriptor);
            if (result == LookUp::Found)
                found.push_back(category / relative);
            if (descriptor >= 0) {
                const bool complete = bytes.readDescriptor(descriptor);
                onRead(found.size() - 1, found.back(), bytes.view(), complete);
            }
            return result;
        };
        const auto add = [&] {
            if (!onRead)
                found.push_back(category / relative);
        };
        const LookUp direct = look(modLength, false);
        if (direct == LookUp::Found) {
            add();
            continue;
        }
        if (direct == LookUp::Unsettled) {
            slowly();
            continue;
        }
        relative.resize(modLength);
        relative += storageName;
        relative += '/';
        const std::size_t storageLength = relative.size();
        relative += entryName;
        // A storage name that is no folder holds nothing, as when it is missing.
        const LookUp stored = look(storageLength, true);
        if (stored == LookUp::Found)
            add();
        else if (stored == LookUp::Unsettled)
            slowly();
    }
    entries = std::move(found);
    return true;
}

#endif
