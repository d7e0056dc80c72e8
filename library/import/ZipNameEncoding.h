#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Zips made on Windows store entry names in the code page of the machine that
// made them and say so only by leaving the UTF-8 flag clear.

// The names of the entries whose UTF-8 flag is clear, read from the zip's
// central directory; nothing when the file holds no readable central
// directory (not a zip, or one cut short); an empty list when the directory is
// too large to be read for its names.
std::optional<std::vector<std::string>> unflaggedZipNames(const std::filesystem::path &zip);

// The character set those names are most likely in: "UTF-8" when every one is
// valid UTF-8 (as zip tools on Linux and macOS write them), else the legacy
// code page of Chinese or Russian Windows whose reading looks most like text
// ("CP936", "CP866" or "CP1251"). Empty when every name is plain ASCII.
std::string zipNameCharset(const std::vector<std::string> &names);
