#pragma once

#include <filesystem>
#include <string>

// Why a file name cannot be held, or why a file was not imported.
enum class RefusalReason
{
    ReservedName,       // a device name of Windows, with or without an extension
    EndsInDotOrSpace,   // Windows drops the dot or space: another name
    ForbiddenCharacter, // : < > " | ? * or a control character on Windows
    NameTooLong,        // longer than the file system allows
    CaseClash,          // differs only in letter case from a name already taken
    LinkOutside,        // a link that leads out of the chosen folder
    Leftover,           // left by a killed import and cannot be removed
    TooDeep,            // more folder levels than an import follows
};

enum class NameRules
{
    Posix,
    Windows,
#ifdef _WIN32
    ThisSystem = Windows,
#else
    ThisSystem = Posix,
#endif
};

// Most folder levels below a mod folder or an archive's top that an import
// follows: deeper trees are refused, not walked (memory, stack, path limits).
inline constexpr std::size_t kDeepestFolder = 128;

// Longest file name, in the units of a path's native string (bytes on Linux,
// UTF-16 code units on Windows).
inline constexpr std::size_t kLongestFileName = 255;

// Longest whole path, in the same units (PATH_MAX on Linux; the limit of
// Windows' long paths).
#ifdef _WIN32
inline constexpr std::size_t kLongestPath = 32767 - 1;
#else
inline constexpr std::size_t kLongestPath = 4096 - 1;
#endif

// Why one part of a path (no separators; not "." or "..") cannot be held,
// or false when it can.
bool nameRefused(const std::string &part, NameRules rules, RefusalReason &reason);
bool nameRefused(const std::wstring &part, NameRules rules, RefusalReason &reason);

// True where this system's file names ignore letter case (Windows): there a
// name and its other spellings are one file.
bool namesFoldCase();
// The name in one letter case, for telling apart names that the system
// holds as one; unchanged where names keep their case.
std::filesystem::path::string_type foldedName(const std::filesystem::path::string_type &name);
// The file name equals `expected` as this system compares names.
bool sameFileName(const std::filesystem::path &name, const std::filesystem::path &expected);
