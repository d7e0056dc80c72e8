#include "library/catalogue/ModLibraryRoots.h"

#include "library/catalogue/Constants.h"
#include "library/platform/FileSystemError.h"
#include "library/platform/FolderWalk.h"
#include "library/platform/NameRules.h"
#include "library/platform/PlatformFiles.h"

#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Lists the folder in listing order and gives the full path of its entry named
// exactly like the entry file, stopping there; the entry's type is not examined.
std::optional<fs::path> findEntryFile(const fs::path &folder)
{
    static const fs::path entryName(kEntryFileName);
    std::optional<fs::path> found;
    walkFolder(folder, [&](const fs::directory_entry &entry) {
        // Where names fold case, the game opens Entry.lua as its entry file too.
        if (!sameFileName(entry.path().filename(), entryName))
            return true;
        found = entry.path();
        return false;
    });
    return found;
}

// Status following links; a missing path is no error, any other failure is.
fs::file_status statusOf(const fs::path &path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error && status.type() != fs::file_type::not_found)
        throwFileSystemError("status", path, error);
    return status;
}

bool existsFollowingLinks(const fs::path &path)
{
    std::error_code error;
    const bool found = fs::exists(path, error);
    if (error)
        throwFileSystemError("exists", path, error);
    return found;
}

} // namespace

std::vector<fs::path> scanCategory(const ModLibraryRoots &roots, ModCategory category)
{
    return scanCategory(roots, category, {});
}

std::vector<fs::path> scanCategory(const ModLibraryRoots &roots, ModCategory category,
                                   const EntryRead &onRead)
{
    const fs::path &categoryPath =
        category == ModCategory::Aircraft ? roots.aircraftPath : roots.techPath;
    std::vector<fs::path> entries;
    if (!existsFollowingLinks(categoryPath))
        return entries;

    // Everything one candidate can contribute, found the plain way: by listing.
    const auto examine = [](const fs::path &candidate) -> std::optional<fs::path> {
        if (!fs::is_directory(statusOf(candidate)))
            return std::nullopt;
        if (std::optional<fs::path> found = findEntryFile(candidate))
            return found;
        const fs::path storage = candidate / kStorageFolderName;
        if (existsFollowingLinks(storage) && fs::is_directory(statusOf(storage)))
            return findEntryFile(storage);
        return std::nullopt;
    };
    if (quickScanCategory(categoryPath, kEntryFileName, kStorageFolderName, examine, entries,
                          onRead))
        return entries;
    walkFolder(categoryPath, [&](const fs::directory_entry &entry) {
        if (std::optional<fs::path> found = examine(entry.path()))
            entries.push_back(std::move(*found));
        return true;
    });
    return entries;
}
