#include "library/viewchoice/SortChoice.h"

#include "library/platform/DataFile.h"
#include "library/platform/FileReplace.h"
#include "library/platform/FileSystemError.h"

#include <array>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "tessel3 list order 1";

constexpr std::array<std::pair<SortColumn, std::string_view>, 6> kColumnNames{{
    {SortColumn::Catalogue, "catalogue"},
    {SortColumn::SelfId, "id"},
    {SortColumn::Name, "name"},
    {SortColumn::Developer, "developer"},
    {SortColumn::Version, "version"},
    {SortColumn::State, "state"},
}};

std::string_view withoutLineEnd(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

} // namespace

SortChoice afterHeadingClick(SortChoice current, SortColumn clicked)
{
    if (current.column == clicked)
        return {clicked, !current.descending};
    return {clicked, false};
}

fs::path sortChoiceFilePath()
{
    return fs::path("data") / "list-order";
}

SortChoice readSortChoice(const fs::path &file)
{
    std::error_code failure;
    const std::optional<std::string> bytes = readFileForUpdate(file, failure);
    if (failure)
        throwFileSystemError("open", file, failure);
    if (!bytes)
        return {};
    const std::string_view text = *bytes;
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd == std::string_view::npos || withoutLineEnd(text.substr(0, firstEnd)) != kHeader)
        throw DataFileError(file, 1);
    std::string_view second = text.substr(firstEnd + 1);
    if (const std::size_t end = second.find('\n'); end != std::string_view::npos) {
        if (!second.substr(end + 1).empty())
            throw DataFileError(file, 3);
        second = second.substr(0, end);
    }
    second = withoutLineEnd(second);
    const std::size_t space = second.find(' ');
    if (space == std::string_view::npos)
        throw DataFileError(file, 2);
    const std::string_view direction = second.substr(space + 1);
    if (direction != "ascending" && direction != "descending")
        throw DataFileError(file, 2);
    for (const auto &[column, name] : kColumnNames)
        if (name == second.substr(0, space))
            return {column, direction == "descending"};
    throw DataFileError(file, 2);
}

void saveSortChoice(const fs::path &file, SortChoice choice)
{
    std::string text(kHeader);
    text += '\n';
    for (const auto &[column, name] : kColumnNames)
        if (column == choice.column)
            text += name;
    text += choice.descending ? " descending\n" : " ascending\n";
    writeDataFile(file, text);
}
