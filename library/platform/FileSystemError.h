#pragma once

#include <filesystem>
#include <system_error>

// Throws std::filesystem::filesystem_error whose message names the operation
// ("exists", "status", "copy", ...) on every platform; the standard library's
// own messages do not.
[[noreturn]] void throwFileSystemError(const char *operation, const std::filesystem::path &path,
                                       std::error_code code);
[[noreturn]] void throwFileSystemError(const char *operation, const std::filesystem::path &path1,
                                       const std::filesystem::path &path2, std::error_code code);
[[noreturn]] void throwFileSystemError(const char *operation, std::error_code code);
