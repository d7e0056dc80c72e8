#include "library/platform/TrashPlatform.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

std::error_code recycleBinRefusal(const std::filesystem::path &folder)
{
    const std::filesystem::path root = std::filesystem::absolute(folder).root_path();
    SHQUERYRBINFO info{};
    info.cbSize = sizeof(info);
    const HRESULT result = SHQueryRecycleBinW(root.c_str(), &info);
    if (SUCCEEDED(result))
        return {};
    // The shell says E_FAIL for a drive without a recycle bin.
    return {ERROR_NOT_SUPPORTED, std::system_category()};
}

#else

std::error_code recycleBinRefusal(const std::filesystem::path &)
{
    return {};
}

#endif
