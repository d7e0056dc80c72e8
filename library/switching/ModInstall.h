#pragma once

#include "library/switching/EntryMoveBatch.h"
#include "library/switching/RefusedMove.h"

#include <filesystem>
#include <system_error>
#include <vector>

class ModCatalogue;
struct ModRecord;

// Enabling moves a mod's entry file up out of its storage folder, disabling
// moves it down into it; the record is refreshed after every successful move.
// A failed move prints one diagnostic line and leaves the record unchanged; a
// storage folder that cannot be checked or created throws
// std::filesystem::filesystem_error ("exists", "create_directories").
// Each also returns the platform's code (in std::system_category()) when the
// system refused the move, and an empty code otherwise; the bulk walks go on
// after a refusal and return every one, in walk order.
std::error_code installMod(ModCatalogue &catalogue, ModRecord &record);
std::error_code uninstallMod(ModCatalogue &catalogue, ModRecord &record);
std::vector<RefusedMove> installAll(ModCatalogue &catalogue);
std::vector<RefusedMove> uninstallAll(ModCatalogue &catalogue);

// The records in the state opposite to `enabling`, in walk order, each with
// the move that switches it.
void listToSwitch(ModCatalogue &catalogue, bool enabling, std::vector<ModRecord *> &records,
                  std::vector<EntryMove> &moves);

// The bulk walk over records listed beforehand, each in the state opposite to
// `enabling`, with the move that switches it (toggleMove of its entry path,
// perhaps made whole): what installAll and uninstallAll do, for a caller that
// needs the moves before the walk.
std::vector<RefusedMove> switchListed(ModCatalogue &catalogue, const std::vector<ModRecord *> &records,
                                      const std::vector<EntryMove> &moves, bool enabling);
bool moveEntryIntoStorage(ModCatalogue &catalogue, std::filesystem::path entryPath,
                          std::error_code *refusal = nullptr);

// Moves a file without ever replacing an existing destination. On failure
// writes "failed with error code: <code>" to standard output, sets `refusal`
// (when given) to that code and returns false.
bool moveFile(std::filesystem::path source, std::filesystem::path destination,
              std::error_code *refusal = nullptr);
