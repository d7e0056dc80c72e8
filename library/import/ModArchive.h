#pragma once

#include "library/catalogue/ImportLeftovers.h"
#include "library/import/ImportProgress.h"
#include "library/catalogue/ModLibraryRoots.h"

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

class ModCatalogue;

// Why an archive was refused.
enum class ArchiveProblem
{
    UnknownFormat,
    Damaged,         // cut short or corrupt
    Encrypted,
    UnsafeName,      // an entry would land outside the unpacking folder
    UnsafeLink,      // a link leads outside the unpacking folder
    NotEnoughSpace,  // more than the file system holds
    CompressionBomb, // unpacks to an absurd size against its own
};

class ArchiveError : public std::runtime_error
{
public:
    ArchiveError(ArchiveProblem problem, const std::filesystem::path &archive,
                 const std::string &detail);

    ArchiveProblem problem() const;
    const std::filesystem::path &archive() const;

private:
    ArchiveProblem m_problem;
    std::filesystem::path m_archive;
};

// An archive may unpack to at most `ratio` times its own size, and always to
// `floor` bytes.
struct ArchiveLimits
{
    std::uint64_t ratio = 200;
    std::uint64_t floor = 512ULL * 1024 * 1024;
};

// Unpacks the archive (zip, 7z, rar, tar, compressed or not) into the staging
// folder, then imports from there exactly as importMods does; a mod at the
// archive's top level is named after the archive. Each run unpacks into a
// fresh staging folder, which goes afterwards, also after a failure or a
// cancel; those left by earlier runs are swept first. Entries whose names
// this system cannot hold are refused one by one, in the result. Throws ArchiveError for an archive it refuses (nothing is then
// imported) and std::filesystem::filesystem_error as importMods does.
ImportResult importArchive(const ModCatalogue &catalogue, const std::filesystem::path &archive,
                           ModCategory category, ImportProgress *progress = nullptr,
                           const ArchiveLimits &limits = {});

// True when the file name ends in one of the archive types importArchive reads.
bool isArchiveFileName(const std::filesystem::path &path);
// Those types as file-name patterns ("*.zip", "*.tar.gz", ...).
std::vector<std::string> archiveFilePatterns();
