#pragma once

#include "library/platform/NameRules.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What an import is doing at the moment.
enum class ImportStage
{
    Unpacking, // an archive into its staging folder; `current` is the archive's name
    Copying,   // mod folders into the category folder; `current` is the mod folder's name
};

struct ImportStatus
{
    ImportStage stage = ImportStage::Copying;
    std::string current; // UTF-8
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0; // 0 while unknown
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0; // 0 while unknown
};

// Told how an import goes, and asked between files whether to stop. An import
// that stops keeps every file it completed and nothing half written.
class ImportProgress
{
public:
    virtual ~ImportProgress();

    virtual void progressed(const ImportStatus &status) = 0;
    virtual bool cancelRequested() = 0;
};

// A file or folder not imported, and why.
struct ImportRefusal
{
    std::string name; // UTF-8, as the archive or the source folder spells it
    RefusalReason reason;
};

// What an import did.
struct ImportResult
{
    std::size_t modsImported = 0; // mod folders copied into, whether or not they lacked anything
    std::uint64_t filesCopied = 0;
    bool cancelled = false;
    std::vector<ImportRefusal> refused;
};
