#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

// The small files the program keeps beside the settings file under data/
// (notes, the list order): written whole through the replacing writer, each
// starting with a line that names it and its format version.

// A data file whose content the program cannot take: the file is left as it is.
class DataFileError : public std::runtime_error
{
public:
    DataFileError(std::filesystem::path file, std::size_t line);

    const std::filesystem::path &file() const;
    // The first line that could not be read, counted from 1.
    std::size_t line() const;

private:
    std::filesystem::path m_file;
    std::size_t m_line;
};

// Creates the file when it is missing, then replaces its content with `bytes`
// without ever leaving it half written. Throws std::filesystem::filesystem_error.
void writeDataFile(const std::filesystem::path &file, std::string_view bytes);

// Backslash, tab, carriage return and line feed written as \\ \t \r \n, so a
// value always stays within one field of one line.
std::string escapeField(std::string_view text);
// The reverse; false on an escape it does not know.
bool unescapeField(std::string_view field, std::string &text);
