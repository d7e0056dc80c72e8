#include "library/import/ModArchive.h"

#include "library/platform/ArchivePlatform.h"
#include "library/platform/FileSystemError.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/import/ModImport.h"
#include "library/platform/NameRules.h"
#include "library/platform/PathText.h"
#include "library/platform/PlatformCopy.h"
#include "library/import/ZipNameEncoding.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 12> kSuffixes{
    ".tar.gz", ".tar.xz", ".tar.zst", ".tar.bz2", ".tgz", ".txz",
    ".tzst",   ".tbz2",   ".zip",     ".7z",      ".rar", ".tar"};

// The suffix of an archive type, compared without regard to case; empty when none.
std::string_view archiveSuffix(const fs::path &path)
{
    std::string name = utf8FromPath(path.filename());
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const std::string_view suffix : kSuffixes)
        if (name.size() > suffix.size() && name.ends_with(suffix))
            return suffix;
    return {};
}

// Thrown between two files or blocks when the user asks to stop.
struct UnpackCancelled
{
};

// Removes the staging folder when the import ends, however it ends.
class StagingFolder
{
public:
    explicit StagingFolder(fs::path path) : m_path(std::move(path)) {}
    ~StagingFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    StagingFolder(const StagingFolder &) = delete;
    StagingFolder &operator=(const StagingFolder &) = delete;

private:
    fs::path m_path;
};

struct ReaderDeleter
{
    void operator()(archive *reader) const
    {
        archive_read_free(reader);
    }
};

enum class NameCheck
{
    Safe,
    Empty,
    Unsafe,
};

// Splits an archive name into folder names, with both slashes as separators
// whatever the platform (zips made on Windows may use either). Anything that
// could lead out of the unpacking folder is unsafe: an absolute name, "..",
// on Windows a colon (a drive or an alternate stream).
template <typename Char>
NameCheck splitName(const std::basic_string<Char> &name, std::vector<std::basic_string<Char>> &parts)
{
    if (!name.empty() && (name[0] == Char('/') || name[0] == Char('\\')))
        return NameCheck::Unsafe;
    std::basic_string<Char> part;
    for (std::size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != Char('/') && name[i] != Char('\\')) {
#ifdef _WIN32
            if (name[i] == Char(':'))
                return NameCheck::Unsafe;
#endif
            part += name[i];
            continue;
        }
        if (part.size() == 2 && part[0] == Char('.') && part[1] == Char('.')) {
            if (parts.empty())
                return NameCheck::Unsafe;
            parts.pop_back();
        } else if (!part.empty() && !(part.size() == 1 && part[0] == Char('.'))) {
            parts.push_back(part);
        }
        part.clear();
    }
    return parts.empty() ? NameCheck::Empty : NameCheck::Safe;
}

struct Unpack
{
    Unpack(const fs::path &archivePath, fs::path root, ImportProgress *progress,
           const ArchiveLimits &limits)
        : archivePath(archivePath), root(std::move(root)), progress(progress), limits(limits)
    {
    }

    const fs::path &archivePath;
    fs::path root;
    ImportProgress *progress;
    const ArchiveLimits &limits;
    archive *reader = nullptr;
    ImportStatus status;
    std::uint64_t available = 0;
    std::uint64_t limit = 0;
    std::uint64_t unpacked = 0;
    std::vector<fs::path> links;
    fs::path canonicalRoot;
    std::vector<ImportRefusal> refused;
    // Where names fold case: each file written, in one case, by its first spelling.
    std::map<fs::path::string_type, fs::path::string_type> spellings;

    [[noreturn]] void refuse(ArchiveProblem problem, const std::string &detail) const
    {
        throw ArchiveError(problem, archivePath, detail);
    }

    [[noreturn]] void readFailed() const
    {
        const char *message = archive_error_string(reader);
        const std::string detail = message ? message : "read error";
        // Asking for encryption before a format is known would crash libarchive.
        if (archive_format(reader) == 0)
            refuse(ArchiveProblem::UnknownFormat, detail);
        if (archive_read_has_encrypted_entries(reader) > 0 ||
            detail.find("ncrypt") != std::string::npos)
            refuse(ArchiveProblem::Encrypted, detail);
        refuse(ArchiveProblem::Damaged, detail);
    }

    // Names must stay inside the unpacking folder before and after every
    // link the archive has made so far is followed.
    fs::path place(const fs::path &name) const
    {
        std::vector<fs::path::string_type> parts;
        const NameCheck check = splitName(name.native(), parts);
        if (check != NameCheck::Safe)
            refuse(ArchiveProblem::UnsafeName, utf8FromPath(name));
        fs::path path = root;
        for (const auto &part : parts)
            path /= part;
        if (!links.empty() && !inside(path.parent_path()))
            refuse(ArchiveProblem::UnsafeLink, utf8FromPath(name));
        return path;
    }

    bool inside(const fs::path &path) const
    {
        std::error_code error;
        const fs::path real = fs::weakly_canonical(path, error);
        if (error)
            return false;
        return std::mismatch(canonicalRoot.begin(), canonicalRoot.end(), real.begin(), real.end())
                   .first == canonicalRoot.end();
    }

    void report()
    {
        status.bytesDone = static_cast<std::uint64_t>(archive_filter_bytes(reader, -1));
        if (progress)
            progress->progressed(status);
    }

    void checkCancel() const
    {
        if (progress && progress->cancelRequested())
            throw UnpackCancelled{};
    }

    void account(std::uint64_t bytes)
    {
        unpacked += bytes;
        if (unpacked > limit)
            refuse(ArchiveProblem::CompressionBomb, std::to_string(unpacked) + " bytes unpacked");
        if (unpacked > available)
            refuse(ArchiveProblem::NotEnoughSpace, std::to_string(unpacked) + " bytes unpacked");
    }

    void writeFile(archive_entry *entry, const fs::path &path);
    void makeSymlink(archive_entry *entry, const fs::path &path);
    bool refusedName(const fs::path &name);
    bool clashesInCase(const fs::path &name, const fs::path &path);
    void entry(archive_entry *entry);
    void run();
};

// Removes a file that was not written to its end.
class PartialFile
{
public:
    explicit PartialFile(const fs::path &path) : m_path(path) {}
    ~PartialFile()
    {
        std::error_code ignored;
        if (!m_complete)
            fs::remove(m_path, ignored);
    }
    PartialFile(const PartialFile &) = delete;
    PartialFile &operator=(const PartialFile &) = delete;
    void complete()
    {
        m_complete = true;
    }

private:
    const fs::path &m_path;
    bool m_complete = false;
};

[[noreturn]] void writeFailed(const Unpack &unpack, const fs::path &path, std::error_code error)
{
    if (error == std::errc::no_space_on_device)
        unpack.refuse(ArchiveProblem::NotEnoughSpace, utf8FromPath(path));
    throwFileSystemError("write", path, error);
}

void Unpack::writeFile(archive_entry *entry, const fs::path &path)
{
    if (archive_entry_size_is_set(entry)) {
        // Refused before a byte is written when the size is declared.
        const auto declared = static_cast<std::uint64_t>(archive_entry_size(entry));
        account(declared);
        unpacked -= declared;
    }
    std::error_code error;
    // An earlier entry of this name may be a link, hard or symbolic: the new
    // file replaces the name and never writes through it.
    fs::remove(path, error);
    // Closed before the removal of a partial file: Windows removes no open file.
    PartialFile partial(path);
    NewFile out(path, error);
    if (error)
        throwFileSystemError("open", path, error);
    std::uint64_t end = 0;
    std::uint64_t position = 0;
    for (;;) {
        const void *block = nullptr;
        std::size_t size = 0;
        la_int64_t offset = 0;
        const int result = archive_read_data_block(reader, &block, &size, &offset);
        if (result == ARCHIVE_EOF)
            break;
        // A warning here is a checksum that does not match.
        if (result != ARCHIVE_OK)
            readFailed();
        checkCancel();
        const auto at = static_cast<std::uint64_t>(offset);
        if (at + size > end) {
            account(at + size - end);
            end = at + size;
        }
        // Blocks after a gap (a sparse entry) land at their own offset.
        if (position != at && (error = out.seek(at)))
            writeFailed(*this, path, error);
        position = at + size;
        if ((error = out.write(block, size)))
            writeFailed(*this, path, error);
        report();
    }
    // The size is set at the end: a sparse entry may end in a gap.
    if ((error = out.close(end)))
        writeFailed(*this, path, error);
    partial.complete();
}

void Unpack::makeSymlink(archive_entry *entry, const fs::path &path)
{
    const std::optional<fs::path> target = archiveEntrySymlink(entry);
    if (!target)
        refuse(ArchiveProblem::Damaged, utf8FromPath(path));
    // Lexically first: relative, and within the unpacking folder from where the link lies.
    const fs::path relative = fs::relative(path.parent_path(), root) / *target;
    std::vector<fs::path::string_type> parts;
    if (splitName(relative.native(), parts) != NameCheck::Safe)
        refuse(ArchiveProblem::UnsafeLink, utf8FromPath(*target));
    std::error_code error;
    fs::remove(path, error);
    fs::create_symlink(*target, path, error);
    // Where links need rights the user lacks (Windows), the mod goes without.
    if (!error)
        links.push_back(path);
}

// A name that this system cannot hold, or one too deep, is refused on its
// own: never written under another name (Windows would drop a trailing dot
// and reach another folder, or a device).
bool Unpack::refusedName(const fs::path &name)
{
    const fs::path::string_type &text = name.native();
    std::size_t depth = 0;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t stop = text.find_first_of(fs::path::string_type{'/', '\\'}, start);
        if (stop == fs::path::string_type::npos)
            stop = text.size();
        const fs::path::string_type part = text.substr(start, stop - start);
        start = stop + 1;
        const fs::path::string_type dot(1, '.');
        if (part.empty() || part == dot || part == dot + dot)
            continue;
        RefusalReason reason{};
        if (++depth > kDeepestFolder + 1)
            reason = RefusalReason::TooDeep;
        else if (root.native().size() + 1 + stop > kLongestPath)
            reason = RefusalReason::NameTooLong;
        else if (!nameRefused(part, NameRules::ThisSystem, reason))
            continue;
        refused.push_back({utf8FromPath(name), reason});
        return true;
    }
    return false;
}

// Of two names that the system holds as one file, the first is kept and the
// second reported; the same spelling again replaces the file, as elsewhere.
bool Unpack::clashesInCase(const fs::path &name, const fs::path &path)
{
    if (!namesFoldCase())
        return false;
    const auto [known, added] = spellings.emplace(foldedName(path.native()), path.native());
    if (added || known->second == path.native())
        return false;
    refused.push_back({utf8FromPath(name), RefusalReason::CaseClash});
    return true;
}

void Unpack::entry(archive_entry *entry)
{
    if (archive_entry_is_encrypted(entry))
        refuse(ArchiveProblem::Encrypted, archive_entry_pathname(entry) ? archive_entry_pathname(entry) : "");
    const std::optional<fs::path> name = archiveEntryName(entry);
    if (!name)
        refuse(ArchiveProblem::Damaged, "entry name cannot be read");
    {
        std::vector<fs::path::string_type> parts;
        if (splitName(name->native(), parts) == NameCheck::Empty)
            return;
    }
    if (refusedName(*name))
        return;
    const fs::path path = place(*name);
    if (archive_entry_filetype(entry) != AE_IFDIR && clashesInCase(*name, path))
        return;
    std::error_code error;
    if (const std::optional<fs::path> hardlink = archiveEntryHardlink(entry)) {
        const fs::path target = place(*hardlink);
        // A hard link to a link would be a second link whose relative target
        // now starts from another folder, past every check made on the first.
        if (fs::is_symlink(fs::symlink_status(target, error)))
            refuse(ArchiveProblem::UnsafeLink, utf8FromPath(*hardlink));
        fs::create_directories(path.parent_path(), error);
        if (!error) {
            fs::remove(path, error);
            fs::create_hard_link(target, path, error);
        }
        if (error)
            throwFileSystemError("create_hard_link", target, path, error);
        return;
    }
    switch (archive_entry_filetype(entry)) {
    case AE_IFDIR:
        fs::create_directories(path, error);
        if (error)
            throwFileSystemError("create_directories", path, error);
        return;
    case AE_IFREG:
    case 0:
        break;
    case AE_IFLNK:
        fs::create_directories(path.parent_path(), error);
        if (error)
            throwFileSystemError("create_directories", path.parent_path(), error);
        makeSymlink(entry, path);
        return;
    default:
        // Devices, pipes and sockets have no place in a mod.
        return;
    }
    fs::create_directories(path.parent_path(), error);
    if (error)
        throwFileSystemError("create_directories", path.parent_path(), error);
    writeFile(entry, path);
    ++status.filesDone;
    report();
}

void Unpack::run()
{
    ArchiveNameScope utf8Names;
    std::unique_ptr<archive, ReaderDeleter> owner(archive_read_new());
    reader = owner.get();
    archive_read_support_format_zip(reader);
    archive_read_support_format_7zip(reader);
    archive_read_support_format_rar(reader);
    archive_read_support_format_rar5(reader);
    archive_read_support_format_tar(reader);
    archive_read_support_filter_all(reader);

    std::error_code error;
    const std::uint64_t packedSize = fs::file_size(archivePath, error);
    if (error)
        throwFileSystemError("file_size", archivePath, error);
    {
        std::ifstream in(archivePath, std::ios::binary);
        char magic[4] = {};
        in.read(magic, 4);
        const std::optional<std::vector<std::string>> names = unflaggedZipNames(archivePath);
        // A zip without its central directory has been cut short.
        if (!names && in && std::string_view(magic, 4) == std::string_view("PK\x03\x04", 4))
            refuse(ArchiveProblem::Damaged, "no central directory");
        const std::string charset = names ? zipNameCharset(*names) : std::string();
        if (!charset.empty())
            archive_read_set_options(reader, ("zip:hdrcharset=" + charset).c_str());
    }
    limit = packedSize > ~0ULL / std::max<std::uint64_t>(limits.ratio, 1)
                ? ~0ULL
                : std::max(limits.floor, packedSize * limits.ratio);
    if (openArchiveFile(reader, archivePath) != ARCHIVE_OK)
        readFailed();
    fs::create_directories(root, error);
    if (error)
        throwFileSystemError("create_directories", root, error);
    canonicalRoot = fs::canonical(root, error);
    if (error)
        throwFileSystemError("canonical", root, error);
    available = fs::space(root, error).available;
    if (error)
        throwFileSystemError("space", root, error);
    status.stage = ImportStage::Unpacking;
    status.current = utf8FromPath(archivePath.filename());
    status.bytesTotal = packedSize;
    report();
    for (;;) {
        checkCancel();
        archive_entry *current = nullptr;
        const int result = archive_read_next_header(reader, &current);
        if (result == ARCHIVE_EOF)
            break;
        if (result < ARCHIVE_WARN)
            readFailed();
        entry(current);
    }
    // A chain of links can lead further than each one alone.
    for (const fs::path &link : links)
        if (!inside(link))
            refuse(ArchiveProblem::UnsafeLink, utf8FromPath(link));
    // A link that leads nowhere would stop the copy of its whole mod: the mod
    // goes without it, as it does where links cannot be made.
    for (const fs::path &link : links)
        if (!fs::exists(link, error))
            fs::remove(link, error);
}

} // namespace

ArchiveError::ArchiveError(ArchiveProblem problem, const fs::path &archive, const std::string &detail)
    : std::runtime_error(utf8FromPath(archive) + ": " + detail), m_problem(problem),
      m_archive(archive)
{
}

ArchiveProblem ArchiveError::problem() const
{
    return m_problem;
}

const fs::path &ArchiveError::archive() const
{
    return m_archive;
}

namespace {

// The folder an archive's top-level files go into: the archive's name without
// its type, unless that name could climb, is empty, or cannot be held here.
fs::path topFolderName(const fs::path &archive)
{
    const std::string_view suffix = archiveSuffix(archive);
    std::string name = utf8FromPath(suffix.empty() ? archive.stem() : archive.filename());
    if (!suffix.empty())
        name.resize(name.size() - suffix.size());
    RefusalReason reason{};
    const fs::path stem = pathFromUtf8(name);
    if (name.find_first_not_of(". ") == std::string::npos || name.find_first_of("/\\") != std::string::npos ||
        nameRefused(stem.native(), NameRules::ThisSystem, reason))
        return "archive";
    return stem;
}

} // namespace

ImportResult importArchive(const ModCatalogue &catalogue, const fs::path &archive,
                           ModCategory category, ImportProgress *progress,
                           const ArchiveLimits &limits)
{
    const fs::path modsFolder = catalogue.roots().aircraftPath.parent_path();
    std::vector<ImportRefusal> refused;
    for (const fs::path &kept : sweepLeftovers(modsFolder))
        refused.push_back({utf8FromPath(kept), RefusalReason::Leftover});
    const ImportMarker marker(modsFolder);
    const fs::path staging = uniqueNameIn(modsFolder, (std::string(kStagingFolderName) + "-").c_str());
    std::error_code error;
    fs::create_directory(staging, error);
    if (error)
        throwFileSystemError("create_directory", staging, error);
    StagingFolder cleanup(staging);

    // A mod packed without a folder of its own is named after its archive.
    Unpack unpack{archive, staging / topFolderName(archive), progress, limits};
    ImportResult result;
    try {
        unpack.run();
    } catch (const UnpackCancelled &) {
        result.cancelled = true;
    }
    if (!result.cancelled) {
        ImportOptions options;
        options.progress = progress;
        options.linkFiles = true;
        options.sweep = false;
        result = importMods(catalogue, staging, category, options);
    }
    refused.insert(refused.end(), unpack.refused.begin(), unpack.refused.end());
    result.refused.insert(result.refused.begin(), refused.begin(), refused.end());
    return result;
}

bool isArchiveFileName(const fs::path &path)
{
    return !archiveSuffix(path).empty();
}

std::vector<std::string> archiveFilePatterns()
{
    std::vector<std::string> patterns;
    for (const std::string_view suffix : kSuffixes)
        patterns.push_back("*" + std::string(suffix));
    return patterns;
}
