#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// Whole-file replacement that never leaves a damaged file behind: the new
// bytes go to a temporary file beside the target, are flushed to the disk and
// renamed over the target in one step.

// The file's bytes when it is a regular file that this process may both read
// and write; nothing otherwise, with `failure` set to the reason unless there
// is simply no such file.
std::optional<std::string> readFileForUpdate(const std::filesystem::path &file,
                                             std::error_code &failure);

// Replaces the existing file `file` with `bytes`, keeping its permissions (and
// its owner where the system allows). On any failure the file is left exactly
// as it was, no temporary file remains, `failure` (when given) holds the
// reason, and false is returned.
bool replaceFileContents(const std::filesystem::path &file, std::string_view bytes,
                         std::error_code *failure = nullptr);
