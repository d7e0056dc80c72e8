#pragma once

#include <filesystem>
#include <functional>
#include <system_error>

// Calls `visit` for each direct entry of the folder, in the order the platform
// lists them, until it returns false. A listing that cannot be opened throws
// std::filesystem::filesystem_error "directory_iterator::directory_iterator"
// for the folder, one that cannot advance "directory_iterator::operator++"
// (without a path: the iterator knows none).
void walkFolder(const std::filesystem::path &folder,
                const std::function<bool(const std::filesystem::directory_entry &)> &visit);

// The same, but a failing listing is handed to `fail`, which must throw.
void walkFolder(const std::filesystem::path &folder,
                const std::function<bool(const std::filesystem::directory_entry &)> &visit,
                const std::function<void(std::error_code)> &fail);
