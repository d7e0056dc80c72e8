#pragma once

#include "library/history/SwitchJournal.h"
#include "library/sets/ApplySwitch.h"
#include "library/sets/SwitchPlan.h"
#include "library/switching/EntryMoveBatch.h"
#include "library/switching/RefusedMove.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

class ModCatalogue;
struct ModRecord;

// Switching as in ModInstall, each batch recorded in the journal: the intent
// before the first move, the outcome after the last (also when a storage
// folder error ends the walk, which is then thrown on).

// A row's Install or Uninstall; returns what installMod or uninstallMod returns.
std::error_code recordedToggle(ModCatalogue &catalogue, ModRecord &record, SwitchJournal &journal);

// Enable All or Disable All: goes on past refused moves and returns them, as
// installAll and uninstallAll do. `switched` (when given) gets the number of
// mods switched.
std::vector<RefusedMove> recordedSwitchAll(ModCatalogue &catalogue, bool enabling,
                                           SwitchJournal &journal, std::size_t *switched = nullptr);

// What an undo, a redo or a restore did.
struct RecordedRun
{
    std::uint64_t batch = 0;    // the new batch; 0 when there was nothing to do
    std::uint64_t reversed = 0; // the batch undone or redone
    EntryMoveOutcome outcome;
    std::size_t moved = 0;
    // Moves left out because the entry file is no longer where the journal
    // left it, or something already lies where it would go.
    std::vector<EntryMove> skipped;
};

// Applying a set (applySwitch), recorded as "apply-set" with the set's name.
// The interface calls this where it would call applySwitch.
SwitchOutcome recordedApplySwitch(ModCatalogue &catalogue, const SwitchPlan &plan,
                                  SwitchJournal &journal);

// Reverses the last batch (or redoes the last undo) with one all-or-nothing
// batch of moves, itself recorded. Nothing is ever replaced.
RecordedRun undoLast(ModCatalogue &catalogue, SwitchJournal &journal);
RecordedRun redoLast(ModCatalogue &catalogue, SwitchJournal &journal);

// The moves that bring every mod moved by `batchId` or any later batch back to
// where its entry file was before that batch, judged on the disk now; mods
// that cannot be found at either place go to `skipped`.
std::vector<EntryMove> restorePlan(const SwitchJournal &journal, std::uint64_t batchId,
                                   std::vector<EntryMove> *skipped = nullptr);

// Runs moves as one all-or-nothing batch, recorded with the given action.
RecordedRun runRecordedMoves(ModCatalogue &catalogue, SwitchJournal &journal, JournalAction action,
                             const std::string &name, std::uint64_t target,
                             const std::vector<EntryMove> &moves);

// The folder of the mod whose entry file a move concerns.
std::filesystem::path modFolderOf(const std::filesystem::path &entryPath);
