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

std::vector<RefusedMove> installAll(ModCatalogue &catalogue)
{
    std::vector<RefusedMove> refused;
    for (ModRecord &record : catalogue.records())
        if (const std::error_code reason = installMod(catalogue, record))
            refused.push_back({&record, reason});
    return refused;
}

std::vector<RefusedMove> uninstallAll(ModCatalogue &catalogue)
{
    std::vector<RefusedMove> refused;
    for (ModRecord &record : catalogue.records())
        if (const std::error_code reason = uninstallMod(catalogue, record))
            refused.push_back({&record, reason});
    return refused;
}

bool moveEntryIntoStorage(ModCatalogue &, fs::path entryPath, std::error_code *refusal)
{
    if (!isInstalled(entryPath))
        return false;
    const fs::path storageFolder = entryPath.parent_path() / kStorageFolderName;
    std::error_code error;
    const bool storageExists = fs::exists(storageFolder, error);
    if (error)
        throwFileSystemError("exists", storageFolder, error);
    if (!storageExists) {
        // Usually the mod folder is there and one folder is all that is missing;
        // the single creation spares create_directories' look-ups.
        fs::create_directory(storageFolder, error);
        if (error == std::errc::no_such_file_or_directory)
            fs::create_directories(storageFolder, error);
        if (error)
            throwFileSystemError("create_directories", storageFolder, error);
    }
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
