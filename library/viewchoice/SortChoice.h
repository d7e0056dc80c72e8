#pragma once

#include <filesystem>

// Which heading the mod list is sorted by, and which way; kept between runs
// in a file of its own beside the settings file.
enum class SortColumn
{
    Catalogue, // no heading chosen: the catalogue's order
    SelfId,
    Name,
    Developer,
    Version,
    State,
};

struct SortChoice
{
    SortColumn column = SortColumn::Catalogue;
    bool descending = false;

    bool operator==(const SortChoice &other) const = default;
};

// A click on a heading: the first sorts by it, the next one reverses.
SortChoice afterHeadingClick(SortChoice current, SortColumn clicked);

// data/list-order, relative to the working directory like the settings file.
std::filesystem::path sortChoiceFilePath();

// The saved choice; the catalogue's order when there is no file. Throws
// DataFileError when the file is damaged, std::filesystem::filesystem_error
// when it cannot be read.
SortChoice readSortChoice(const std::filesystem::path &file);
// Throws std::filesystem::filesystem_error.
void saveSortChoice(const std::filesystem::path &file, SortChoice choice);
