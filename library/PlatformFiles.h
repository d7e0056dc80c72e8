#pragma once

#include <filesystem>
#include <string>
#include <system_error>

// Reading files, kept apart from the portable code for the calls each platform
// does best.

// Reads the whole file as bytes, in binary mode: line ends and a Ctrl-Z byte
// pass unchanged. `forUpdate` opens it for reading and writing, which tests
// write access the way the system sees it without changing a byte. False when
// the file cannot be opened or a read fails; `bytes` then holds what was read
// before the failure, and `failure` (when given) the system's reason.
bool readWholeFile(const std::filesystem::path &file, std::string &bytes, bool forUpdate = false,
                   std::error_code *failure = nullptr);
