#pragma once

#include "library/sets/SwitchPlan.h"

#include <cstddef>
#include <system_error>
#include <vector>

class ModCatalogue;

// A planned switch that failed, and the system's reason.
struct FailedSwitch
{
    PlannedSwitch mod;
    std::error_code reason;
};

// What applying a plan did: every move (`complete`), or none, the refused one
// named in `refused`; moves that could not be put back are in `notReversed`.
struct SwitchOutcome
{
    bool complete = true;
    std::size_t switchedOn = 0;
    std::size_t switchedOff = 0;
    FailedSwitch refused;
    std::vector<FailedSwitch> notReversed;
};

// Moves the plan's entry files as one all-or-nothing batch and updates the
// catalogue's records. Throws nothing for file-system trouble.
SwitchOutcome applySwitch(ModCatalogue &catalogue, const SwitchPlan &plan);
