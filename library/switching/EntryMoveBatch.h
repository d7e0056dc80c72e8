#pragma once

#include <cstddef>
#include <filesystem>
#include <system_error>
#include <vector>

class ModCatalogue;

// One entry-file move of a batch: up out of a mod's storage folder or down
// into it.
struct EntryMove
{
    std::filesystem::path from;
    std::filesystem::path to;
};

// A move of a batch that the system refused or that could not be put back:
// its place in the batch and the system's reason.
struct FailedEntryMove
{
    std::size_t index = 0;
    std::error_code reason;
};

// What a batch did. Either every move was made (`complete`), or the moves
// made before the refused one were put back, newest first; those in
// `notReversed` stay at their destination.
struct EntryMoveOutcome
{
    bool complete = true;
    FailedEntryMove refused;
    std::size_t reversed = 0;
    std::vector<FailedEntryMove> notReversed;

    // True when the entry files are where they were before the batch.
    bool unchanged() const;
};

// Makes the moves in order, each one never replacing a file, creating a missing
// storage folder for a move down into it. At the first refusal it puts back the
// moves already made, so that every entry file ends where it began or, failing
// that, is named in `notReversed`. Throws nothing for file-system trouble.
EntryMoveOutcome runEntryMoves(const std::vector<EntryMove> &moves);
// The same over moves held elsewhere, which spares copying their paths.
EntryMoveOutcome runEntryMoves(const std::vector<const EntryMove *> &moves);

// The same over a catalogue: afterwards every record whose entry file moved
// points at its new place and is re-read.
EntryMoveOutcome runEntryMoves(ModCatalogue &catalogue, const std::vector<EntryMove> &moves);

// The move that switches the mod whose entry file is at `entryPath` to the
// other state.
EntryMove toggleMove(const std::filesystem::path &entryPath);
