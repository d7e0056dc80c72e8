#include "library/switching/ModInstall.h"

#include "library/catalogue/Constants.h"
#include "library/platform/FileSystemError.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"
#include "library/platform/PlatformMove.h"

#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

std::error_code installMod(ModCatalogue &catalogue, ModRecord &record)
{
    if (isInstalled(record.entryPath))
        return {};
    const fs::path installedPath =
        record.entryPath.parent_path().parent_path() / record.entryPath.filename();
    std::error_code refusal;
    if (!moveFile(record.entryPath, installedPath, &refusal))
        return refusal;
    record.entryPath = installedPath;
    catalogue.refreshRecord(record);
    return {};
}

std::error_code uninstallMod(ModCatalogue &catalogue, ModRecord &record)
{
    std::error_code refusal;
    if (!moveEntryIntoStorage(catalogue, record.entryPath, &refusal))
        return refusal;
    record.entryPath =
        record.entryPath.parent_path() / kStorageFolderName / record.entryPath.filename();
    catalogue.refreshRecord(record);
    return {};
}

namespace {

// Creates a missing storage folder; throws when it cannot be checked or made.
void ensureStorageFolder(const fs::path &storageFolder)
{
    std::error_code error;
    const bool storageExists = fs::exists(storageFolder, error);
    if (error)
        throwFileSystemError("exists", storageFolder, error);
    if (storageExists)
        return;
    // Usually the mod folder is there and one folder is all that is missing;
    // the single creation spares create_directories' look-ups.
    fs::create_directory(storageFolder, error);
    if (error == std::errc::no_such_file_or_directory)
        fs::create_directories(storageFolder, error);
    if (error)
        throwFileSystemError("create_directories", storageFolder, error);
}

std::vector<RefusedMove> switchAll(ModCatalogue &catalogue, bool enabling)
{
    std::vector<ModRecord *> records;
    std::vector<EntryMove> moves;
    listToSwitch(catalogue, enabling, records, moves);
    return switchListed(catalogue, records, moves, enabling);
}

} // namespace

std::vector<RefusedMove> installAll(ModCatalogue &catalogue)
{
    return switchAll(catalogue, true);
}

std::vector<RefusedMove> uninstallAll(ModCatalogue &catalogue)
{
    return switchAll(catalogue, false);
}

void listToSwitch(ModCatalogue &catalogue, bool enabling, std::vector<ModRecord *> &records,
                  std::vector<EntryMove> &moves)
{
    const auto all = catalogue.records();
    records.clear();
    moves.clear();
    records.reserve(all.size());
    moves.reserve(all.size());
    for (ModRecord &record : all) {
        if (isInstalled(record.entryPath) == enabling)
            continue;
        records.push_back(&record);
        moves.push_back(toggleMove(record.entryPath));
    }
}

std::vector<RefusedMove> switchListed(ModCatalogue &catalogue, const std::vector<ModRecord *> &records,
                                      const std::vector<EntryMove> &moves, bool enabling)
{
    std::vector<RefusedMove> refused;
    for (std::size_t i = 0; i < records.size() && i < moves.size(); ++i) {
        ModRecord &record = *records[i];
        const EntryMove &move = moves[i];
        if (!enabling)
            ensureStorageFolder(move.to.parent_path());
        std::error_code refusal;
        if (!moveFile(move.from, move.to, &refusal)) {
            refused.push_back({&record, refusal});
            continue;
        }
        // A move made whole keeps the record's own relative form.
        record.entryPath = move.from.native() == record.entryPath.native()
                               ? move.to
                               : toggleMove(record.entryPath).to;
        catalogue.refreshRecord(record);
    }
    return refused;
}

bool moveEntryIntoStorage(ModCatalogue &, fs::path entryPath, std::error_code *refusal)
{
    if (!isInstalled(entryPath))
        return false;
    const fs::path storageFolder = entryPath.parent_path() / kStorageFolderName;
    ensureStorageFolder(storageFolder);
    return moveFile(entryPath, storageFolder / entryPath.filename(), refusal);
}

bool moveFile(fs::path source, fs::path destination, std::error_code *refusal)
{
    const std::optional<unsigned long> errorCode = platformMoveFile(source, destination);
    if (!errorCode)
        return true;
    std::cout << "failed with error code: " << *errorCode << std::endl;
    if (refusal)
        refusal->assign(static_cast<int>(*errorCode), std::system_category());
    return false;
}
