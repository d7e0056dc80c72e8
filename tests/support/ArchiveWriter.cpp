#include "tests/support/ArchiveWriter.h"

#include "library/platform/ArchivePlatform.h"
#include "library/platform/PathText.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <stdexcept>
#include <utility>

namespace fs = std::filesystem;

namespace {

void check(archive *writer, int result)
{
    if (result < ARCHIVE_WARN)
        throw std::runtime_error(std::string("archive writer: ") + archive_error_string(writer));
}

} // namespace

ArchiveEntry::ArchiveEntry(std::string name, std::string data, std::string linkTarget,
                           bool hardLink)
    : name(std::move(name)), data(std::move(data)), linkTarget(std::move(linkTarget)),
      hardLink(hardLink)
{
}

void writeArchive(const fs::path &file, ArchiveKind kind, const std::vector<ArchiveEntry> &entries,
                  const std::string &options, const char *passphrase)
{
    ArchiveNameScope utf8Names;
    std::unique_ptr<archive, int (*)(archive *)> writer(archive_write_new(), archive_write_free);
    archive *a = writer.get();
    switch (kind) {
    case ArchiveKind::Zip:
        check(a, archive_write_set_format_zip(a));
        // Without it the Windows writer cannot store names outside its code page.
        check(a, archive_write_set_options(a, "hdrcharset=UTF-8"));
        break;
    case ArchiveKind::SevenZip:
        check(a, archive_write_set_format_7zip(a));
        break;
    case ArchiveKind::TarGz:
        check(a, archive_write_set_format_pax_restricted(a));
        check(a, archive_write_add_filter_gzip(a));
        break;
    }
    if (!options.empty())
        check(a, archive_write_set_options(a, options.c_str()));
    if (passphrase)
        check(a, archive_write_set_passphrase(a, passphrase));
#ifdef _WIN32
    check(a, archive_write_open_filename_w(a, file.c_str()));
#else
    check(a, archive_write_open_filename(a, file.c_str()));
#endif
    for (const ArchiveEntry &item : entries) {
        std::unique_ptr<archive_entry, void (*)(archive_entry *)> entry(archive_entry_new(),
                                                                        archive_entry_free);
        archive_entry *e = entry.get();
#ifdef _WIN32
        archive_entry_copy_pathname_w(e, pathFromUtf8(item.name).c_str());
#else
        archive_entry_set_pathname_utf8(e, item.name.c_str());
#endif
        if (item.hardLink) {
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, 0644);
            archive_entry_set_hardlink_utf8(e, item.linkTarget.c_str());
            archive_entry_set_size(e, 0);
        } else if (!item.linkTarget.empty()) {
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_symlink_utf8(e, item.linkTarget.c_str());
            archive_entry_set_perm(e, 0777);
        } else {
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, 0644);
            archive_entry_set_size(e, static_cast<la_int64_t>(item.data.size()));
        }
        check(a, archive_write_header(a, e));
        if (!item.data.empty() &&
            archive_write_data(a, item.data.data(), item.data.size()) !=
                static_cast<la_ssize_t>(item.data.size()))
            check(a, ARCHIVE_FATAL);
    }
    check(a, archive_write_close(a));
}
