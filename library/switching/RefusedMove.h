#pragma once

#include <system_error>

struct ModRecord;

// A mod whose entry file the system refused to move, and the system's code.
struct RefusedMove
{
    const ModRecord *record = nullptr;
    std::error_code reason;
};
