#include "library/platform/FileSystemError.h"

void throwFileSystemError(const char *operation, const std::filesystem::path &path,
                          std::error_code code)
{
    throw std::filesystem::filesystem_error(operation, path, code);
}

void throwFileSystemError(const char *operation, const std::filesystem::path &path1,
                          const std::filesystem::path &path2, std::error_code code)
{
    throw std::filesystem::filesystem_error(operation, path1, path2, code);
}

void throwFileSystemError(const char *operation, std::error_code code)
{
    throw std::filesystem::filesystem_error(operation, code);
}
