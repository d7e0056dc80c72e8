#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

// Adds bytes to the end of a file in one write, handed to the system before
// returning, so that a program killed right after has them in the file. No
// flush to the disk: that would double the time of a bulk switch.
// Creates the file (not its folder) when `create` is true and it is missing.
// False with `failure` set when the file cannot be opened or written.
bool appendToFile(const std::filesystem::path &file, std::string_view bytes, bool create,
                  std::error_code &failure);
