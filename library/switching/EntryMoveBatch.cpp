#include "library/switching/EntryMoveBatch.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"
#include "library/switching/ModInstall.h"

#include <string>
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

EntryMove toggleMove(const fs::path &entryPath)
{
    // Whole catalogues are toggled: the names are compared as text, which
    // spares the parsing of a path comparison.
    static const fs::path storageName(kStorageFolderName);
    fs::path folder = entryPath.parent_path();
    const fs::path name = entryPath.filename();
    if (folder.filename().native() == storageName.native()) {
        fs::path up = folder.parent_path();
        up /= name;
        return {entryPath, std::move(up)};
    }
    folder /= storageName;
    folder /= name;
    return {entryPath, std::move(folder)};
}
