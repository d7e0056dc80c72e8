#include "ModInstall.h"

#include "Constants.h"
#include "FileSystemError.h"
#include "ModCatalogue.h"
#include "ModRecord.h"
#include "PlatformMove.h"

#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

void installMod(ModCatalogue &catalogue, ModRecord &record)
{
    if (isInstalled(record.entryPath))
        return;
    const fs::path installedPath =
        record.entryPath.parent_path().parent_path() / record.entryPath.filename();
    if (!moveFile(record.entryPath, installedPath))
        return;
    record.entryPath = installedPath;
    catalogue.refreshRecord(record);
}

void uninstallMod(ModCatalogue &catalogue, ModRecord &record)
{
    if (!moveEntryIntoStorage(catalogue, record.entryPath))
        return;
    record.entryPath =
        record.entryPath.parent_path() / kStorageFolderName / record.entryPath.filename();
    catalogue.refreshRecord(record);
}

void installAll(ModCatalogue &catalogue)
{
    for (ModRecord &record : catalogue.records())
        installMod(catalogue, record);
}

void uninstallAll(ModCatalogue &catalogue)
{
    for (ModRecord &record : catalogue.records())
        uninstallMod(catalogue, record);
}

bool moveEntryIntoStorage(ModCatalogue &, fs::path entryPath)
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
    return moveFile(entryPath, storageFolder / entryPath.filename());
}

bool moveFile(fs::path source, fs::path destination)
{
    const std::optional<unsigned long> errorCode = platformMoveFile(source, destination);
    if (!errorCode)
        return true;
    std::cout << "failed with error code: " << *errorCode << std::endl;
    return false;
}
