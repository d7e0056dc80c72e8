#pragma once

#include "library/sets/ModSet.h"

#include <string>
#include <string_view>

// The set as UTF-8 JSON with a format version: what a set file holds and what
// a set code packs.
inline constexpr int kModSetFormatVersion = 1;

std::string modSetToJson(const ModSet &set);

// Reads what modSetToJson writes. Throws ModSetError for anything else: not
// JSON or cut short, another format version, a missing entry, an unknown
// category, a folder name that is not one plain name, a mod named twice.
ModSet modSetFromJson(std::string_view text);

// True for one plain folder name: not empty, not "." or "..", without
// separators, drive colons or control characters.
bool isPlainFolderName(std::string_view name);
