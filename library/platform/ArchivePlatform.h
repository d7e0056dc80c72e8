#pragma once

#include <filesystem>
#include <optional>

struct archive;
struct archive_entry;

// libarchive's names, the platform's way. libarchive converts entry names
// through the thread's locale on Linux and through the wide-character calls on
// Windows; these helpers keep the conversion lossless on both.

// Makes libarchive see UTF-8 as this thread's character set for the object's
// lifetime, whatever locale the program runs in (plain ASCII when it set none).
class ArchiveNameScope
{
public:
    ArchiveNameScope();
    ~ArchiveNameScope();
    ArchiveNameScope(const ArchiveNameScope &) = delete;
    ArchiveNameScope &operator=(const ArchiveNameScope &) = delete;

private:
    void *m_utf8 = nullptr;
    void *m_previous = nullptr;
};

int openArchiveFile(archive *reader, const std::filesystem::path &file);

// The entry's name, its symbolic link's target and its hard link's target as
// stored in the archive (not yet checked); nothing when absent or unconvertible.
std::optional<std::filesystem::path> archiveEntryName(archive_entry *entry);
std::optional<std::filesystem::path> archiveEntrySymlink(archive_entry *entry);
std::optional<std::filesystem::path> archiveEntryHardlink(archive_entry *entry);
