#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The settings file keeps the mods directory as 8-bit text: on Windows in the
// code page of the process's file functions (the active ANSI code page, which
// is UTF-8 when the process runs with it), elsewhere the bytes of the name.

// Nothing when the code page has no character for some part of the path.
std::optional<std::string> narrowTextFromPath(const std::filesystem::path &path);
// Nothing when the bytes are not valid text in that code page.
std::optional<std::filesystem::path> pathFromNarrowText(std::string_view text);
