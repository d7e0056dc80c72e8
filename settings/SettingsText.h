#pragma once

#include <string>
#include <string_view>

// The settings file's text, independent of where it is stored: line-end
// conversion and the pattern searches behind the four settings operations.

enum class SettingKey
{
    Language,
    Directory,
};

// Text mode made explicit: every CR LF becomes one line feed on reading, and
// every line feed becomes CR LF on writing; all other bytes pass unchanged.
std::string textFromFileBytes(std::string_view bytes);
std::string fileBytesFromText(std::string_view text);

// The value of the key's first assignment on a line that is not a comment
// line, with or without `local`; empty when there is none.
std::string findSettingValue(std::string_view text, SettingKey key);

// Replaces every `local` assignment of the key, comment lines included, with
// the program's own line holding `value` verbatim; the rest is copied as is.
std::string rewriteSetting(std::string_view text, SettingKey key, std::string_view value);
