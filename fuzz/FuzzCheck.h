#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// What the fuzz targets share: a failed check ends the run loudly, so that
// libFuzzer keeps the input.
void fuzzCheck(bool condition, const char *what);

// The lines of a text split at line feeds, which are not part of a line; the
// last line need not end with one.
std::vector<std::string_view> splitLines(std::string_view text);

// A fresh folder for the run's files, on a memory file system when there is one.
std::filesystem::path fuzzScratchFolder();
