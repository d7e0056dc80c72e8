#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Lossless conversions between UTF-8 text (what the interface hands over) and
// file-system paths, on every platform.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path &path);
