#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>

// The one place for platform calls.

// Renames `source` to `destination`, refusing an existing destination without
// a test-then-rename window, and falling back to copy-then-delete across
// volumes (a source that cannot be deleted afterwards still counts as moved).
// Returns nothing on success, otherwise the platform's error code
// (GetLastError on Windows, errno elsewhere).
std::optional<unsigned long> platformMoveFile(const std::filesystem::path &source,
                                              const std::filesystem::path &destination);

// Which file a path leads to, following links: equal identities mean the same
// file or folder, however it was reached.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    // File systems with 128-bit file ids (ReFS) need the upper half too.
    std::uint64_t indexHigh = 0;

    auto operator<=>(const FileIdentity &) const = default;
};

#ifdef _WIN32
// Calls `visit` with the name of each entry of `folder` ("." and ".." left out),
// in the order the system lists them, until it returns false. FindFirstFileExW
// lists folders deeper than 260 characters, where MinGW's directory_iterator
// lists the wrong entries. Sets `error`, and `opening` when the listing could
// not even start.
void platformListFolder(const std::filesystem::path &folder,
                        const std::function<bool(const std::filesystem::path &)> &visit,
                        std::error_code &error, bool &opening);
#endif

// Sets `error` and returns an empty identity when the path cannot be examined.
FileIdentity platformFileIdentity(const std::filesystem::path &path, std::error_code &error);
