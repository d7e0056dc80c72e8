#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Archives made on the spot with libarchive's writer, for the tests and the
// benchmarks: no archive files are checked in.

struct ArchiveEntry
{
    ArchiveEntry(std::string name, std::string data, std::string linkTarget = {},
                 bool hardLink = false);

    std::string name; // UTF-8, written as given (also "../x" or "/x")
    std::string data;
    std::string linkTarget; // when set, the entry is a symbolic link to it
    bool hardLink;          // ... or, when this is set, a hard link to that entry
};

enum class ArchiveKind
{
    Zip,
    SevenZip,
    TarGz,
};

// Names outside ASCII get a zip's UTF-8 flag. `options` are further writer
// options ("zip:compression=store"); a passphrase encrypts a zip's entries.
void writeArchive(const std::filesystem::path &file, ArchiveKind kind,
                  const std::vector<ArchiveEntry> &entries, const std::string &options = {},
                  const char *passphrase = nullptr);
