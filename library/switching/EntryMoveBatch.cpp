#include "library/switching/EntryMoveBatch.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"
#include "library/platform/PlatformMove.h"
#include "library/switching/ModInstall.h"

#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

bool isStorageFolder(const fs::path &folder)
{
    static const fs::path storage(kStorageFolderName);
    return folder.filename() == storage;
}

// The move is tried first: a storage folder is missing only now and then, and a
// never-replacing move into a missing folder is refused, so checking the folder
// before every move cost a system call each for nothing.
bool makeOneMove(const EntryMove &move, std::error_code &reason)
{
    const std::optional<unsigned long> refused = platformMoveFile(move.from, move.to);
    if (!refused)
        return true;
    const fs::path folder = move.to.parent_path();
    if (isStorageFolder(folder) && !fs::is_directory(folder, reason)) {
        reason.clear();
        fs::create_directory(folder, reason);
        if (reason)
            return false;
        return moveFile(move.from, move.to, &reason);
    }
    // Told as moveFile tells a refusal.
    std::cout << "failed with error code: " << *refused << std::endl;
    reason.assign(static_cast<int>(*refused), std::system_category());
    return false;
}

template<typename MoveAt>
EntryMoveOutcome runMoves(std::size_t count, MoveAt moveAt)
{
    EntryMoveOutcome outcome;
    for (std::size_t index = 0; index < count; ++index) {
        std::error_code reason;
        if (makeOneMove(moveAt(index), reason))
            continue;
        outcome.complete = false;
        outcome.refused = {index, reason};
        for (std::size_t made = index; made-- > 0;) {
            std::error_code backReason;
            if (moveFile(moveAt(made).to, moveAt(made).from, &backReason))
                ++outcome.reversed;
            else
                outcome.notReversed.push_back({made, backReason});
        }
        break;
    }
    return outcome;
}

} // namespace

bool EntryMoveOutcome::unchanged() const
{
    return !complete && notReversed.empty();
}

EntryMoveOutcome runEntryMoves(const std::vector<EntryMove> &moves)
{
    return runMoves(moves.size(), [&](std::size_t i) -> const EntryMove & { return moves[i]; });
}

EntryMoveOutcome runEntryMoves(const std::vector<const EntryMove *> &moves)
{
    return runMoves(moves.size(), [&](std::size_t i) -> const EntryMove & { return *moves[i]; });
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
