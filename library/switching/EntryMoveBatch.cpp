#include "library/switching/EntryMoveBatch.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"
#include "library/switching/ModInstall.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

bool makeOneMove(const EntryMove &move, std::error_code &reason)
{
    const fs::path folder = move.to.parent_path();
    if (folder.filename() == kStorageFolderName && !fs::is_directory(folder, reason)) {
        reason.clear();
        fs::create_directory(folder, reason);
        if (reason)
            return false;
    }
    return moveFile(move.from, move.to, &reason);
}

} // namespace

bool EntryMoveOutcome::unchanged() const
{
    return !complete && notReversed.empty();
}

EntryMoveOutcome runEntryMoves(const std::vector<EntryMove> &moves)
{
    EntryMoveOutcome outcome;
    for (std::size_t index = 0; index < moves.size(); ++index) {
        std::error_code reason;
        if (makeOneMove(moves[index], reason))
            continue;
        outcome.complete = false;
        outcome.refused = {index, reason};
        for (std::size_t made = index; made-- > 0;) {
            std::error_code backReason;
            if (moveFile(moves[made].to, moves[made].from, &backReason))
                ++outcome.reversed;
            else
                outcome.notReversed.push_back({made, backReason});
        }
        break;
    }
    return outcome;
}

EntryMoveOutcome runEntryMoves(ModCatalogue &catalogue, const std::vector<EntryMove> &moves)
{
    const EntryMoveOutcome outcome = runEntryMoves(moves);
    std::unordered_map<fs::path::string_type, const fs::path *> movedTo;
    if (outcome.complete) {
        for (const EntryMove &move : moves)
            movedTo[move.from.native()] = &move.to;
    } else {
        for (const FailedEntryMove &stayed : outcome.notReversed)
            movedTo[moves[stayed.index].from.native()] = &moves[stayed.index].to;
    }
    if (movedTo.empty())
        return outcome;
    for (ModRecord &record : catalogue.records()) {
        const auto found = movedTo.find(record.entryPath.native());
        if (found == movedTo.end())
            continue;
        record.entryPath = *found->second;
        catalogue.refreshRecord(record);
    }
    return outcome;
}

namespace {

bool isSeparator(fs::path::value_type c)
{
    return c == fs::path::value_type('/') || c == fs::path::preferred_separator;
}

} // namespace

EntryMove toggleMove(const fs::path &entryPath)
{
    // Whole catalogues are toggled, and every path operation parses the path
    // again: a plain "folder/name" is rearranged as text, anything else by parts.
    static const fs::path storageName(kStorageFolderName);
    const fs::path::string_type &text = entryPath.native();
    const auto sep = [&](std::size_t before) {
        for (std::size_t i = before; i-- > 0;)
            if (isSeparator(text[i]))
                return i;
        return fs::path::string_type::npos;
    };
    const auto plainEnd = [&](std::size_t at) {
        return at != fs::path::string_type::npos && at > 0 && !isSeparator(text[at - 1]) &&
               text[at - 1] != fs::path::value_type(':');
    };
    const std::size_t nameAt = sep(text.size());
    const std::size_t folderAt = plainEnd(nameAt) ? sep(nameAt) : fs::path::string_type::npos;
    if (nameAt + 1 < text.size() && plainEnd(folderAt)) {
        const auto folderName = std::basic_string_view<fs::path::value_type>(text).substr(
            folderAt + 1, nameAt - folderAt - 1);
        fs::path::string_type to;
        if (folderName == storageName.native()) {
            to.reserve(folderAt + text.size() - nameAt);
            to.append(text, 0, folderAt);
            to += fs::path::preferred_separator;
            to.append(text, nameAt + 1);
        } else {
            to.reserve(text.size() + storageName.native().size() + 1);
            to.append(text, 0, nameAt);
            to += fs::path::preferred_separator;
            to += storageName.native();
            to += fs::path::preferred_separator;
            to.append(text, nameAt + 1);
        }
        return {entryPath, fs::path(std::move(to))};
    }
    const fs::path folder = entryPath.parent_path();
    if (folder.filename() == kStorageFolderName)
        return {entryPath, folder.parent_path() / entryPath.filename()};
    return {entryPath, folder / kStorageFolderName / entryPath.filename()};
}
