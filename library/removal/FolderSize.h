#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>

// The bytes of the regular files under the folder, links not followed; what
// cannot be read counts as nothing, since the size only informs the user.
// Stops early, with the sum so far, once `stop` turns true.
std::uint64_t folderSize(const std::filesystem::path &folder,
                         const std::atomic<bool> *stop = nullptr);
