#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Lossless conversions between UTF-8 text (what the interface hands over) and
// file-system paths, on every platform.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path &path);

// The same for the text of a path as the system keeps it (UTF-8 bytes on
// Linux, UTF-16 on Windows), without building a path from it.
std::string utf8FromNative(const std::filesystem::path::string_type &text);
