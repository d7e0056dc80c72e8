#include "library/sets/ApplySwitch.h"

#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"
#include "library/switching/EntryMoveBatch.h"

#include <functional>
#include <unordered_map>
#include <vector>

namespace {

// The planned switch behind the batch's move at `index` (switches off first).
const PlannedSwitch &plannedAt(const SwitchPlan &plan, std::size_t index)
{
    if (index < plan.switchOff.size())
        return plan.switchOff[index];
    return plan.switchOn[index - plan.switchOff.size()];
}

// The entry files move as they are: a moved record gets its new place and
// state without reading the file again. The plan names each mod's record, so
// that paths are looked up only when the catalogue changed since planning.
void followMoves(ModCatalogue &catalogue, const SwitchPlan &plan,
                 const std::vector<const EntryMove *> &moves,
                 const std::vector<std::size_t> &moved)
{
    if (moved.empty())
        return;
    const std::vector<std::reference_wrapper<ModRecord>> records = catalogue.records();
    std::unordered_map<std::filesystem::path::string_type, const std::filesystem::path *> movedTo;
    for (const std::size_t index : moved) {
        const std::size_t hint = plannedAt(plan, index).record;
        if (hint < records.size() &&
            records[hint].get().entryPath.native() == moves[index]->from.native()) {
            ModRecord &record = records[hint];
            record.entryPath = moves[index]->to;
            record.installState = isInstalled(record.entryPath);
        } else {
            movedTo.emplace(moves[index]->from.native(), &moves[index]->to);
        }
    }
    if (movedTo.empty())
        return;
    for (ModRecord &record : records) {
        const auto found = movedTo.find(record.entryPath.native());
        if (found == movedTo.end())
            continue;
        record.entryPath = *found->second;
        record.installState = isInstalled(record.entryPath);
    }
}

} // namespace

SwitchOutcome applySwitch(ModCatalogue &catalogue, const SwitchPlan &plan)
{
    // The plan's own moves, in its order (switches off first), not copies.
    std::vector<const EntryMove *> moves;
    moves.reserve(plan.switchOff.size() + plan.switchOn.size());
    for (const PlannedSwitch &planned : plan.switchOff)
        moves.push_back(&planned.move);
    for (const PlannedSwitch &planned : plan.switchOn)
        moves.push_back(&planned.move);
    const EntryMoveOutcome moved = runEntryMoves(moves);
    SwitchOutcome outcome;
    outcome.complete = moved.complete;
    std::vector<std::size_t> stayed;
    if (moved.complete) {
        outcome.switchedOn = plan.switchOn.size();
        outcome.switchedOff = plan.switchOff.size();
        stayed.resize(moves.size());
        for (std::size_t i = 0; i < moves.size(); ++i)
            stayed[i] = i;
    } else {
        outcome.refused = {plannedAt(plan, moved.refused.index), moved.refused.reason};
        for (const FailedEntryMove &failed : moved.notReversed) {
            outcome.notReversed.push_back({plannedAt(plan, failed.index), failed.reason});
            stayed.push_back(failed.index);
        }
    }
    followMoves(catalogue, plan, moves, stayed);
    return outcome;
}
