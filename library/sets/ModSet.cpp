#include "library/sets/ModSet.h"

#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"
#include "library/platform/PathText.h"

#include <utility>

namespace {

using PathString = std::filesystem::path::string_type;

bool isSeparator(std::filesystem::path::value_type c)
{
    return c == '/' || c == std::filesystem::path::preferred_separator;
}

// The position of the separator before `end`; npos when there is none.
std::size_t separatorBefore(const PathString &text, std::size_t end)
{
    while (end > 0) {
        --end;
        if (isSeparator(text[end]))
            return end;
    }
    return PathString::npos;
}

bool startsWithFolder(const PathString &text, const PathString &folder)
{
    return !folder.empty() && text.size() > folder.size() &&
           text.compare(0, folder.size(), folder) == 0 && isSeparator(text[folder.size()]);
}

} // namespace

// Both work on the text of the path: planning asks this of every mod, and
// splitting paths into parts would cost more than the rest of the plan.
ModCategory categoryOf(const ModCatalogue &catalogue, const ModRecord &record)
{
    return startsWithFolder(record.entryPath.native(), catalogue.roots().techPath.native())
               ? ModCategory::Tech
               : ModCategory::Aircraft;
}

std::string folderNameOf(const ModRecord &record)
{
    const PathString &text = record.entryPath.native();
    std::size_t end = separatorBefore(text, text.size());
    if (end != PathString::npos && !record.installState)
        end = separatorBefore(text, end);
    if (end == PathString::npos)
        return utf8FromPath(record.modFolder().filename());
    const std::size_t start = separatorBefore(text, end) + 1;
    return utf8FromNative(text.substr(start, end - start));
}

const char *categoryWord(ModCategory category)
{
    return category == ModCategory::Tech ? "tech" : "aircraft";
}

ModSet currentModSet(const ModCatalogue &catalogue, std::string name)
{
    ModSet set;
    set.name = std::move(name);
    for (const ModRecord &record : catalogue.records())
        set.members.push_back({categoryOf(catalogue, record), folderNameOf(record), record.self_ID,
                               record.displayName, record.version, record.installState});
    return set;
}
