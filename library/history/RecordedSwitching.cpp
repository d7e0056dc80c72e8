#include "library/history/RecordedSwitching.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"
#include "library/switching/ModInstall.h"

#include <algorithm>
#include <exception>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace fs = std::filesystem;

namespace {

// Whether each record's move was made: every record of a bulk walk was in the
// other state before it, so its state now tells.
std::vector<bool> madeByRecords(const std::vector<ModRecord *> &records, bool enabling)
{
    std::vector<bool> made(records.size(), false);
    for (std::size_t i = 0; i < records.size(); ++i)
        made[i] = isInstalled(records[i]->entryPath) == enabling;
    return made;
}

std::vector<bool> madeByOutcome(const EntryMoveOutcome &outcome, std::size_t count)
{
    std::vector<bool> made(count, outcome.complete);
    if (!outcome.complete)
        for (const FailedEntryMove &stayed : outcome.notReversed)
            made[stayed.index] = true;
    return made;
}

// The records whose entry file moved point at its new place and state. A
// moved entry file keeps its bytes, so it is not read again. The journal holds
// whole paths; a catalogue may have been loaded from a relative one.
void updateRecords(ModCatalogue &catalogue, const std::vector<EntryMove> &moves,
                   const std::vector<bool> &made)
{
    // Views of the moves' own text: the moves outlive the look-ups.
    std::unordered_set<std::basic_string_view<fs::path::value_type>> movedFrom;
    movedFrom.reserve(moves.size());
    for (std::size_t i = 0; i < moves.size(); ++i)
        if (made[i])
            movedFrom.emplace(moves[i].from.native());
    if (movedFrom.empty())
        return;
    std::error_code error;
    fs::path here;
    for (ModRecord &record : catalogue.records()) {
        if (record.entryPath.is_relative()) {
            if (here.empty())
                here = fs::current_path(error);
            if (movedFrom.count((here / record.entryPath).native()) == 0)
                continue;
        } else if (movedFrom.count(record.entryPath.native()) == 0) {
            continue;
        }
        record.entryPath = toggleMove(record.entryPath).to;
        record.installState = isInstalled(record.entryPath);
    }
}

bool isFile(const fs::path &path)
{
    std::error_code error;
    return fs::exists(path, error);
}

// True when the move cannot be made because its file is not where the journal
// left it or something already lies at its destination.
bool notWhereLeft(const EntryMove &move)
{
    return !isFile(move.from) || isFile(move.to);
}

// The reverse of each move the batch made, newest first. They run as one
// all-or-nothing batch; a refused move whose file is no longer where the
// journal left it is left out and the rest run again, so that nothing is
// replaced and no file needs checking beforehand. Any other refusal leaves
// every entry file where it was.
RecordedRun reverseBatch(ModCatalogue &catalogue, SwitchJournal &journal, const JournalBatch &batch,
                         JournalAction action)
{
    RecordedRun run;
    run.reversed = batch.id;
    std::vector<EntryMove> moves;
    moves.reserve(batch.madeCount());
    for (std::size_t i = batch.moves().size(); i-- > 0;)
        if (batch.made[i])
            moves.push_back({batch.moves()[i].to, batch.moves()[i].from});
    if (moves.empty())
        return run;
    // `batch` lies in the journal, whose list grows here: not used past this line.
    run.batch = journal.begin(action, batch.name, batch.id, moves);
    std::vector<std::size_t> remaining(moves.size());
    for (std::size_t i = 0; i < remaining.size(); ++i)
        remaining[i] = i;
    std::vector<bool> made(moves.size(), false);
    // Past a few refusals, each of which repeats the moves before it, the
    // rest are checked at once.
    constexpr std::size_t kRetries = 8;
    while (!remaining.empty()) {
        if (run.skipped.size() == kRetries) {
            std::vector<std::size_t> movable;
            for (const std::size_t index : remaining)
                if (notWhereLeft(moves[index]))
                    run.skipped.push_back(moves[index]);
                else
                    movable.push_back(index);
            remaining = std::move(movable);
            if (remaining.empty())
                break;
        }
        if (remaining.size() == moves.size()) {
            run.outcome = runEntryMoves(moves);
        } else {
            std::vector<EntryMove> attempt;
            attempt.reserve(remaining.size());
            for (const std::size_t index : remaining)
                attempt.push_back(moves[index]);
            run.outcome = runEntryMoves(attempt);
        }
        if (run.outcome.complete) {
            for (const std::size_t index : remaining)
                made[index] = true;
            break;
        }
        const std::size_t refused = remaining[run.outcome.refused.index];
        if (!run.outcome.notReversed.empty() || !notWhereLeft(moves[refused])) {
            for (const FailedEntryMove &stayed : run.outcome.notReversed)
                made[remaining[stayed.index]] = true;
            run.outcome.refused.index = refused;
            break;
        }
        run.skipped.push_back(moves[refused]);
        remaining.erase(remaining.begin() + std::ptrdiff_t(run.outcome.refused.index));
        run.outcome = {};
    }
    updateRecords(catalogue, moves, made);
    run.moved = static_cast<std::size_t>(std::count(made.begin(), made.end(), true));
    journal.finish(run.batch, std::move(made));
    return run;
}

} // namespace

fs::path modFolderOf(const fs::path &entryPath)
{
    const fs::path folder = entryPath.parent_path();
    return folder.filename() == kStorageFolderName ? folder.parent_path() : folder;
}

std::error_code recordedToggle(ModCatalogue &catalogue, ModRecord &record, SwitchJournal &journal)
{
    const bool enabling = !isInstalled(record.entryPath);
    const EntryMove move = toggleMove(record.entryPath);
    const std::string name = record.displayName.empty() ? record.self_ID : record.displayName;
    const std::uint64_t id = journal.begin(
        enabling ? JournalAction::Install : JournalAction::Uninstall, name, 0, {move});
    std::error_code refusal;
    try {
        refusal = enabling ? installMod(catalogue, record) : uninstallMod(catalogue, record);
    } catch (...) {
        journal.finish(id, {false});
        throw;
    }
    journal.finish(id, {record.entryPath == move.to});
    return refusal;
}

std::vector<RefusedMove> recordedSwitchAll(ModCatalogue &catalogue, bool enabling,
                                           SwitchJournal &journal, std::size_t *switched)
{
    std::vector<ModRecord *> records;
    std::vector<EntryMove> moves;
    listToSwitch(catalogue, enabling, records, moves);
    if (switched)
        *switched = 0;
    if (moves.empty())
        return {};
    const std::uint64_t id = journal.begin(
        enabling ? JournalAction::EnableAll : JournalAction::DisableAll, {}, 0, std::move(moves));
    std::vector<RefusedMove> refused;
    try {
        // The walk makes the moves the journal now holds, which spares working
        // them out twice; nothing touches the journal until the outcome.
        refused = switchListed(catalogue, records, journal.find(id)->moves(), enabling);
    } catch (...) {
        journal.finish(id, madeByRecords(records, enabling));
        throw;
    }
    // Each listed record was in the other state, so each was moved unless refused.
    std::vector<bool> made(records.size(), true);
    if (!refused.empty()) {
        std::unordered_map<const ModRecord *, std::size_t> listed;
        listed.reserve(records.size());
        for (std::size_t i = 0; i < records.size(); ++i)
            listed.emplace(records[i], i);
        for (const RefusedMove &move : refused) {
            const auto found = listed.find(move.record);
            if (found != listed.end())
                made[found->second] = false;
        }
    }
    if (switched)
        *switched = static_cast<std::size_t>(std::count(made.begin(), made.end(), true));
    journal.finish(id, std::move(made));
    return refused;
}

RecordedRun runRecordedMoves(ModCatalogue &catalogue, SwitchJournal &journal, JournalAction action,
                             const std::string &name, std::uint64_t target,
                             const std::vector<EntryMove> &moves)
{
    RecordedRun run;
    if (moves.empty())
        return run;
    run.batch = journal.begin(action, name, target, moves);
    run.outcome = runEntryMoves(moves);
    std::vector<bool> made = madeByOutcome(run.outcome, moves.size());
    updateRecords(catalogue, moves, made);
    run.moved = static_cast<std::size_t>(std::count(made.begin(), made.end(), true));
    journal.finish(run.batch, std::move(made));
    return run;
}

SwitchOutcome recordedApplySwitch(ModCatalogue &catalogue, const SwitchPlan &plan,
                                  SwitchJournal &journal)
{
    const std::vector<EntryMove> moves = plan.moves();
    if (moves.empty())
        return applySwitch(catalogue, plan);
    const std::uint64_t id = journal.begin(JournalAction::ApplySet, plan.setName, 0, moves);
    const SwitchOutcome outcome = applySwitch(catalogue, plan);
    std::vector<bool> made(moves.size(), outcome.complete);
    for (const FailedSwitch &stayed : outcome.notReversed)
        for (std::size_t i = 0; i < moves.size(); ++i)
            if (moves[i].from == stayed.mod.move.from)
                made[i] = true;
    journal.finish(id, std::move(made));
    return outcome;
}

RecordedRun undoLast(ModCatalogue &catalogue, SwitchJournal &journal)
{
    const JournalBatch *batch = journal.nextUndo();
    if (!batch)
        return {};
    return reverseBatch(catalogue, journal, *batch, JournalAction::Undo);
}

RecordedRun redoLast(ModCatalogue &catalogue, SwitchJournal &journal)
{
    const JournalBatch *batch = journal.nextRedo();
    if (!batch)
        return {};
    return reverseBatch(catalogue, journal, *batch, JournalAction::Redo);
}

std::vector<EntryMove> restorePlan(const SwitchJournal &journal, std::uint64_t batchId,
                                   std::vector<EntryMove> *skipped)
{
    // Where each mod's entry file was before the batch: the start of its
    // first move made from then on.
    std::vector<fs::path> order;
    std::unordered_map<fs::path::string_type, fs::path> before;
    bool reached = false;
    for (const JournalBatch &batch : journal.batches()) {
        reached = reached || batch.id == batchId;
        if (!reached)
            continue;
        for (std::size_t i = 0; i < batch.moves().size(); ++i) {
            if (!batch.made[i])
                continue;
            const fs::path folder = modFolderOf(batch.moves()[i].from);
            if (before.emplace(folder.native(), batch.moves()[i].from).second)
                order.push_back(folder);
        }
    }
    std::vector<EntryMove> plan;
    for (const fs::path &folder : order) {
        const fs::path &wanted = before[folder.native()];
        if (isFile(wanted))
            continue;
        const EntryMove move{toggleMove(wanted).to, wanted};
        if (isFile(move.from))
            plan.push_back(move);
        else if (skipped)
            skipped->push_back(move);
    }
    return plan;
}
