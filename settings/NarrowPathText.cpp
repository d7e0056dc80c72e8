#include "settings/NarrowPathText.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <climits>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

// The code page in which the file functions take narrow names.
UINT fileCodePage()
{
    return AreFileApisANSI() ? GetACP() : GetOEMCP();
}

} // namespace

std::optional<std::string> narrowTextFromPath(const fs::path &path)
{
    const std::wstring &wide = path.native();
    if (wide.empty())
        return std::string();
    if (wide.size() > INT_MAX)
        return std::nullopt;
    const UINT codePage = fileCodePage();
    // UTF-8 takes neither the best-fit flag nor the default-character report;
    // for the others a replaced character shows in `usedDefault`.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL *usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr,
                                         0, nullptr, usedDefaultOut);
    if (size <= 0 || usedDefault)
        return std::nullopt;
    std::string text(std::size_t(size), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), text.data(), size,
                            nullptr, usedDefaultOut) != size ||
        usedDefault)
        return std::nullopt;
    return text;
}

std::optional<fs::path> pathFromNarrowText(std::string_view text)
{
    if (text.empty())
        return fs::path();
    if (text.size() > INT_MAX)
        return std::nullopt;
    const UINT codePage = fileCodePage();
    const int size =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    std::wstring wide(std::size_t(size), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), int(text.size()),
                            wide.data(), size) != size)
        return std::nullopt;
    return fs::path(std::move(wide));
}

#else

std::optional<std::string> narrowTextFromPath(const fs::path &path)
{
    return path.native();
}

std::optional<fs::path> pathFromNarrowText(std::string_view text)
{
    return fs::path(std::string(text));
}

#endif
