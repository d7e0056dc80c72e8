#pragma once

#include <filesystem>
#include <system_error>

// Why the system's recycle bin cannot take the folder, found before anything
// is moved: on Windows a drive without a recycle bin would delete for good.
// Empty where the system itself refuses such a move (Linux: no trash folder
// on that device means no move at all).
std::error_code recycleBinRefusal(const std::filesystem::path &folder);
