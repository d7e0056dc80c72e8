#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <system_error>

// Crash-safe copies: a file only ever appears under its real name whole.

// Copies `from` to `to` through `temporary`, a new name in the same folder:
// written (with the system's fast copy where it has one), flushed, then
// renamed into place without replacing. Returns
// std::errc::file_exists when `to` exists (nothing is written then),
// std::errc::operation_canceled when `cancelled` said so, otherwise the
// system's error; the temporary file never stays on an error.
std::error_code copyFileNoReplace(const std::filesystem::path &from, const std::filesystem::path &to,
                                  const std::filesystem::path &temporary,
                                  const std::function<bool()> &cancelled = {});

// A file that this call alone creates: an existing name is refused, never
// truncated and never followed.
class NewFile
{
public:
    NewFile(const std::filesystem::path &path, std::error_code &error);
    ~NewFile();
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;

    std::error_code write(const void *data, std::size_t size);
    std::error_code seek(std::uint64_t offset);
    // Sets the size (a file may end in a gap) and closes, reporting late errors.
    std::error_code close(std::uint64_t size);

private:
    int m_fd = -1;
};
