#include "library/catalogue/ModRecord.h"

#include "library/catalogue/Constants.h"

std::filesystem::path ModRecord::modFolder() const
{
    const std::filesystem::path parent = entryPath.parent_path();
    return installState ? parent : parent.parent_path();
}

bool isInstalled(const std::filesystem::path &entryPath)
{
    static const std::filesystem::path storageName(kStorageFolderName);
    // Splitting the path into parts is dear for a whole catalogue; a path whose
    // text lacks the storage name cannot lie in the storage folder.
    if (entryPath.native().find(storageName.native()) == std::filesystem::path::string_type::npos)
        return true;
    return entryPath.parent_path().filename() != storageName;
}
