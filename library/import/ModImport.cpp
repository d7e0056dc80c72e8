#include "library/import/ModImport.h"

#include "library/catalogue/Constants.h"
#include "library/platform/FileSystemError.h"
#include "library/platform/FolderWalk.h"
#include "library/platform/NameRules.h"
#include "library/catalogue/ImportLeftovers.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"
#include "library/platform/PathText.h"
#include "library/platform/PlatformCopy.h"
#include "library/platform/PlatformMove.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Thrown between two files when the user asks to stop; caught by importMods.
struct ImportCancelled
{
};

// A mod folder about to go into place whole, with what it holds.
struct WholeMove
{
    fs::path modFolder;
    fs::path destination;
    std::uint64_t files;
    std::uint64_t bytes;
};

struct ImportRun
{
    ImportRun(const ModCatalogue &catalogue, fs::path categoryFolder, const ImportOptions &options)
        : catalogue(catalogue), categoryFolder(std::move(categoryFolder)), options(options)
    {
    }

    const ModCatalogue &catalogue;
    fs::path categoryFolder;
    const ImportOptions &options;
    // A first pass that only adds up what the second will copy, for the progress.
    bool counting = false;
    ImportStatus status;
    ImportResult result;
    std::optional<WholeMove> pendingMove;
    // The catalogue's entry paths; compared as paths, element by element.
    std::set<fs::path> listedEntries;
    // Folders are told apart by identity, not by spelling, so that links
    // cannot lead the search or a copy round in circles.
    std::set<FileIdentity> searchedFolders;
    // Every folder this import created or copied into; never searched.
    std::set<FileIdentity> destinationFolders;
    // The chosen folder, links resolved: no link leads the import out of it.
    fs::path sourceRoot;
    // Folders between the chosen folder and the one being searched.
    std::size_t depth = 0;

    bool cancelRequested() const
    {
        return options.progress && options.progress->cancelRequested();
    }

    // The search and the copy may meet the same path; it is told once.
    std::set<std::string> refusedPaths;

    void refuse(const fs::path &path, RefusalReason reason)
    {
        std::string name = utf8FromPath(fs::path(path).make_preferred());
        if (!counting && refusedPaths.insert(name).second)
            result.refused.push_back({std::move(name), reason});
    }

    // True for a link that leads out of the chosen folder (or nowhere that
    // can be resolved); it is reported and not followed.
    bool leadsOutside(const fs::directory_entry &entry)
    {
        std::error_code error;
        if (sourceRoot.empty() || !entry.is_symlink(error))
            return false;
        const fs::path real = fs::weakly_canonical(entry.path(), error);
        if (!error && std::mismatch(sourceRoot.begin(), sourceRoot.end(), real.begin(), real.end())
                              .first == sourceRoot.end())
            return false;
        refuse(entry.path(), RefusalReason::LinkOutside);
        return true;
    }

    bool tooDeep(const fs::path &folder)
    {
        if (depth < kDeepestFolder)
            return false;
        refuse(folder, RefusalReason::TooDeep);
        return true;
    }
};

// Counts a folder level for as long as the object lives.
class Descent
{
public:
    explicit Descent(std::size_t &depth) : m_depth(depth)
    {
        ++m_depth;
    }
    ~Descent()
    {
        --m_depth;
    }
    Descent(const Descent &) = delete;
    Descent &operator=(const Descent &) = delete;

private:
    std::size_t &m_depth;
};

// One mod folder being copied into its destination.
struct ModCopy
{
    ImportRun &run;
    const fs::path &modFolder;
    const fs::path &destination;
    // The source folders from the mod folder down to the one being copied.
    std::vector<FileIdentity> ancestors;

    [[noreturn]] void fail(std::error_code error) const
    {
        throwFileSystemError("copy", modFolder, destination, error);
    }
};

bool isModToImport(const ImportRun &run, const fs::path &path)
{
    // Where names fold case, Entry.lua is the entry file as the game sees it.
    if (!sameFileName(path.filename(), kEntryFileName) || !isInstalled(path))
        return false;
    if (run.catalogue.readField(path, run.catalogue.selfIdPatterns()).empty())
        return false;
    return !run.listedEntries.contains(path);
}

// True when the destination is the mod folder itself or lies inside it: such
// a copy would be a copy onto itself, or one that contains itself.
bool copiesIntoItself(const fs::path &modFolder, const fs::path &destination)
{
    std::error_code error;
    const fs::path from = fs::weakly_canonical(modFolder, error);
    if (error)
        return false;
    const fs::path to = fs::weakly_canonical(destination, error);
    if (error)
        return false;
    return std::mismatch(from.begin(), from.end(), to.begin(), to.end()).first == from.end();
}

void copyFolder(ModCopy &copy, const fs::path &from, FileIdentity fromIdentity, const fs::path &to);

// Follows links like the path library's recursive copy with skip-existing.
void copyEntry(ModCopy &copy, const fs::directory_entry &entry, const fs::path &target)
{
    if (isLeftoverName(entry.path().filename()) || copy.run.leadsOutside(entry))
        return;
    std::error_code error;
    const bool isFolder = entry.is_directory(error);
    if (error)
        copy.fail(error);
    if (isFolder) {
        const FileIdentity identity = platformFileIdentity(entry.path(), error);
        if (error)
            copy.fail(error);
        // A link back up the tree, or a folder this import has just filled.
        if (std::find(copy.ancestors.begin(), copy.ancestors.end(), identity) !=
                copy.ancestors.end() ||
            copy.run.destinationFolders.contains(identity) || copy.run.tooDeep(entry.path()))
            return;
        if (!copy.run.counting) {
            fs::create_directory(target, entry.path(), error);
            // MinGW's library reports a folder that is already there as an error.
            std::error_code ignored;
            if (error == std::errc::file_exists && fs::is_directory(target, ignored))
                error.clear();
            if (error)
                copy.fail(error);
        }
        const Descent descent(copy.run.depth);
        copyFolder(copy, entry.path(), identity, target);
        return;
    }
    const bool isFile = entry.is_regular_file(error);
    if (error)
        copy.fail(error);
    if (!isFile)
        copy.fail(std::make_error_code(std::errc::not_supported));
    ImportRun &run = copy.run;
    std::error_code ignored;
    // A switched-off mod's stored entry file counts as the entry file: a new
    // one beside it would switch the mod on for good.
    const bool targetExisted =
        fs::exists(fs::symlink_status(target, ignored)) ||
        (target.filename() == kEntryFileName && target.parent_path() == copy.destination &&
         fs::exists(fs::symlink_status(copy.destination / kStorageFolderName / kEntryFileName, ignored)));
    if (run.counting) {
        if (!targetExisted) {
            ++run.status.filesTotal;
            run.status.bytesTotal += entry.file_size(ignored);
        }
        return;
    }
    if (run.cancelRequested())
        throw ImportCancelled{};
    if (targetExisted) {
        // A folder where the mod has a file is no file that is already there.
        if (fs::is_directory(fs::symlink_status(target, ignored)))
            copy.fail(std::make_error_code(std::errc::is_a_directory));
        return;
    }
    bool copied = false;
    // A link to a file that is about to go costs no space and no time; a file
    // system without links, or a source that is itself a link, gets a copy.
    if (run.options.linkFiles && !targetExisted && !entry.is_symlink(ignored)) {
        fs::create_hard_link(entry.path(), target, error);
        copied = !error;
        error.clear();
    }
    // Under a temporary name first: a copy cut short (a kill, a full disk)
    // never stays under the real name, where the next import would keep it.
    if (!copied) {
        error = copyFileNoReplace(entry.path(), target,
                                  uniqueNameIn(target.parent_path(), kTemporaryFilePrefix),
                                  [&run] { return run.cancelRequested(); });
        if (error == std::errc::operation_canceled)
            throw ImportCancelled{};
        // Another program made the file meanwhile: it is kept, as any file there.
        if (error == std::errc::file_exists && fs::is_regular_file(target, ignored))
            return;
        copied = !error;
    }
    if (error)
        copy.fail(error);
    if (copied) {
        ++run.result.filesCopied;
        ++run.status.filesDone;
        run.status.bytesDone += entry.file_size(ignored);
        if (run.options.progress)
            run.options.progress->progressed(run.status);
    }
}

void copyFolder(ModCopy &copy, const fs::path &from, FileIdentity fromIdentity, const fs::path &to)
{
    std::error_code error;
    if (!copy.run.counting) {
        const FileIdentity toIdentity = platformFileIdentity(to, error);
        if (error)
            copy.fail(error);
        copy.run.destinationFolders.insert(toIdentity);
    }
    copy.ancestors.push_back(fromIdentity);
    walkFolder(
        from,
        [&](const fs::directory_entry &entry) {
            copyEntry(copy, entry, to / entry.path().filename());
            return true;
        },
        [&copy](std::error_code failure) { copy.fail(failure); });
    copy.ancestors.pop_back();
}

void copyMod(ImportRun &run, const fs::path &modFolder, const fs::path &destination)
{
    std::error_code error;
    if (!run.counting) {
        fs::create_directory(destination, error);
        if (error)
            throwFileSystemError("create_directory", destination, error);
        ++run.result.modsImported;
        run.status.current = utf8FromPath(modFolder.filename());
        if (run.options.progress)
            run.options.progress->progressed(run.status);
    }
    ModCopy copy{run, modFolder, destination, {}};
    const FileIdentity identity = platformFileIdentity(modFolder, error);
    if (error)
        copy.fail(error);
    copyFolder(copy, modFolder, identity, destination);
}

// A mod folder that is thrown away afterwards may go into place whole when the
// result is the copy's: no other mod and no link inside, nothing at the
// destination yet. One rename instead of a link and a removal per file and
// folder, which is what takes the time where removing is slow.
std::optional<WholeMove> wholeMoveOf(const fs::path &modFolder, const fs::path &destination)
{
    std::error_code error;
    if (fs::symlink_status(destination, error).type() != fs::file_type::not_found)
        return std::nullopt;
    error.clear();
    WholeMove move{modFolder, destination, 0, 0};
    for (fs::recursive_directory_iterator it(modFolder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_symlink(error))
            return std::nullopt;
        if (it->is_directory(error))
            continue;
        if (it->path().filename() == kEntryFileName && it->path().parent_path() != modFolder)
            return std::nullopt;
        ++move.files;
        move.bytes += it->file_size(error);
    }
    if (error)
        return std::nullopt;
    return move;
}

// Done once the mod folder's listing is closed: Windows renames no folder
// that is open.
void finishWholeMove(ImportRun &run)
{
    const WholeMove move = *run.pendingMove;
    run.pendingMove.reset();
    if (run.cancelRequested())
        throw ImportCancelled{};
    std::error_code error;
    fs::rename(move.modFolder, move.destination, error);
    if (error) {
        copyMod(run, move.modFolder, move.destination);
        return;
    }
    const FileIdentity moved = platformFileIdentity(move.destination, error);
    if (!error)
        run.destinationFolders.insert(moved);
    ++run.result.modsImported;
    run.result.filesCopied += move.files;
    run.status.current = utf8FromPath(move.modFolder.filename());
    run.status.filesDone += move.files;
    run.status.bytesDone += move.bytes;
    if (run.options.progress)
        run.options.progress->progressed(run.status);
}

// True when the mod folder is to go into place whole once its listing ends;
// nothing below it needs searching then.
bool importMod(ImportRun &run, const fs::path &entryPath)
{
    const fs::path modFolder = entryPath.parent_path();
    const fs::path destination = run.categoryFolder / modFolder.filename();
    if (!modFolder.has_filename() || copiesIntoItself(modFolder, destination))
        return false;
    if (!run.counting && run.options.linkFiles) {
        run.pendingMove = wholeMoveOf(modFolder, destination);
        if (run.pendingMove)
            return true;
    }
    copyMod(run, modFolder, destination);
    return false;
}

void searchFolder(ImportRun &run, const fs::path &folder);

// True when the folder being listed is to go into place whole.
bool searchEntry(ImportRun &run, const fs::directory_entry &entry)
{
    if (isLeftoverName(entry.path().filename()) || run.leadsOutside(entry))
        return false;
    std::error_code error;
    const bool isFolder = entry.is_directory(error);
    if (error) {
        // Only an entry that is gone, or a link that leads nowhere, is passed over.
        std::error_code ignored;
        if (fs::status(entry.path(), ignored).type() != fs::file_type::not_found)
            throwFileSystemError("status", entry.path(), error);
        return false;
    }
    if (isFolder && !run.tooDeep(entry.path())) {
        const Descent descent(run.depth);
        searchFolder(run, entry.path());
    }
    else if (isModToImport(run, entry.path()))
        return importMod(run, entry.path());
    return false;
}

void searchFolder(ImportRun &run, const fs::path &folder)
{
    std::error_code error;
    const FileIdentity identity = platformFileIdentity(folder, error);
    if (error)
        throwFileSystemError("status", folder, error);
    if (run.destinationFolders.contains(identity) || !run.searchedFolders.insert(identity).second)
        return;
    walkFolder(folder, [&run](const fs::directory_entry &entry) { return !searchEntry(run, entry); });
    if (run.pendingMove)
        finishWholeMove(run);
}

void search(ImportRun &run, const fs::path &source)
{
    if (isModToImport(run, source)) {
        if (importMod(run, source))
            finishWholeMove(run);
        return;
    }
    std::error_code error;
    const fs::file_status status = fs::status(source, error);
    if (error && status.type() != fs::file_type::not_found)
        throwFileSystemError("status", source, error);
    if (fs::is_directory(status))
        searchFolder(run, source);
}

} // namespace

ImportResult importMods(const ModCatalogue &catalogue, const fs::path &source, ModCategory category,
                        const ImportOptions &options)
{
    ImportRun run{catalogue,
                  category == ModCategory::Aircraft ? catalogue.roots().aircraftPath
                                                    : catalogue.roots().techPath,
                  options};
    const fs::path modsFolder = catalogue.roots().aircraftPath.parent_path();
    std::vector<ImportRefusal> leftovers;
    if (options.sweep)
        for (const fs::path &kept : sweepLeftovers(modsFolder))
            leftovers.push_back({utf8FromPath(kept), RefusalReason::Leftover});
    const ImportMarker marker(modsFolder);
    for (const ModRecord &record : catalogue.records())
        run.listedEntries.insert(record.entryPath);
    std::error_code error;
    run.sourceRoot = fs::weakly_canonical(source, error);
    if (error)
        run.sourceRoot.clear();
    if (options.progress) {
        // The totals are for show: a failure while adding up is met again,
        // and reported, by the import itself.
        ImportRun counting{catalogue, run.categoryFolder, options};
        counting.counting = true;
        counting.listedEntries = run.listedEntries;
        counting.sourceRoot = run.sourceRoot;
        try {
            search(counting, source);
        } catch (const fs::filesystem_error &) {
        }
        run.status.filesTotal = counting.status.filesTotal;
        run.status.bytesTotal = counting.status.bytesTotal;
    }
    try {
        search(run, source);
    } catch (const ImportCancelled &) {
        run.result.cancelled = true;
    }
    run.result.refused.insert(run.result.refused.begin(), leftovers.begin(), leftovers.end());
    return run.result;
}
