#include "library/sets/ApplySwitch.h"

#include "library/catalogue/ModCatalogue.h"
#include "library/switching/EntryMoveBatch.h"

namespace {

// The planned switch behind the batch's move at `index` (switches off first).
const PlannedSwitch &plannedAt(const SwitchPlan &plan, std::size_t index)
{
    if (index < plan.switchOff.size())
        return plan.switchOff[index];
    return plan.switchOn[index - plan.switchOff.size()];
}

} // namespace

SwitchOutcome applySwitch(ModCatalogue &catalogue, const SwitchPlan &plan)
{
    const EntryMoveOutcome moved = runEntryMoves(catalogue, plan.moves());
    SwitchOutcome outcome;
    outcome.complete = moved.complete;
    if (moved.complete) {
        outcome.switchedOn = plan.switchOn.size();
        outcome.switchedOff = plan.switchOff.size();
        return outcome;
    }
    outcome.refused = {plannedAt(plan, moved.refused.index), moved.refused.reason};
    for (const FailedEntryMove &stayed : moved.notReversed)
        outcome.notReversed.push_back({plannedAt(plan, stayed.index), stayed.reason});
    return outcome;
}
