#include "library/platform/ArchivePlatform.h"

#include <archive.h>
#include <archive_entry.h>

#ifndef _WIN32
#include <clocale>
#include <locale.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
std::optional<fs::path> pathOf(const wchar_t *name)
#else
std::optional<fs::path> pathOf(const char *name)
#endif
{
    if (!name)
        return std::nullopt;
    return fs::path(name);
}

} // namespace

#ifdef _WIN32

ArchiveNameScope::ArchiveNameScope() = default;
ArchiveNameScope::~ArchiveNameScope() = default;

int openArchiveFile(archive *reader, const fs::path &file)
{
    return archive_read_open_filename_w(reader, file.c_str(), 64 * 1024);
}

std::optional<fs::path> archiveEntryName(archive_entry *entry)
{
    return pathOf(archive_entry_pathname_w(entry));
}

std::optional<fs::path> archiveEntrySymlink(archive_entry *entry)
{
    return pathOf(archive_entry_symlink_w(entry));
}

std::optional<fs::path> archiveEntryHardlink(archive_entry *entry)
{
    return pathOf(archive_entry_hardlink_w(entry));
}

#else

ArchiveNameScope::ArchiveNameScope()
{
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (!utf8)
        return;
    m_utf8 = utf8;
    m_previous = uselocale(utf8);
}

ArchiveNameScope::~ArchiveNameScope()
{
    if (!m_utf8)
        return;
    uselocale(static_cast<locale_t>(m_previous));
    freelocale(static_cast<locale_t>(m_utf8));
}

int openArchiveFile(archive *reader, const fs::path &file)
{
    return archive_read_open_filename(reader, file.c_str(), 64 * 1024);
}

// Linux file names are bytes; UTF-8 is what every other name of the program is in.
std::optional<fs::path> archiveEntryName(archive_entry *entry)
{
    return pathOf(archive_entry_pathname_utf8(entry));
}

std::optional<fs::path> archiveEntrySymlink(archive_entry *entry)
{
    return pathOf(archive_entry_symlink_utf8(entry));
}

std::optional<fs::path> archiveEntryHardlink(archive_entry *entry)
{
    return pathOf(archive_entry_hardlink_utf8(entry));
}

#endif
