#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// `--apply-set NAME` or `--apply-set FILE.t3set`: applies a saved set (by its
// name) or a set file to the mods folder of the settings file before any
// window opens, all or nothing. Nothing when the arguments hold no such
// option or the set was applied (the program then starts as usual, a summary
// on `out`); otherwise the exit code, the reason on `err`.
// `arguments` are the program's arguments as UTF-8, the program's name first.
std::optional<int> runApplySetOption(const std::vector<std::string> &arguments, std::ostream &out,
                                     std::ostream &err);
