#include "ModRecord.h"

#include "Constants.h"

std::filesystem::path ModRecord::modFolder() const
{
    const std::filesystem::path parent = entryPath.parent_path();
    return installState ? parent : parent.parent_path();
}

bool isInstalled(const std::filesystem::path &entryPath)
{
    static const std::filesystem::path storageName(kStorageFolderName);
    return entryPath.parent_path().filename() != storageName;
}
