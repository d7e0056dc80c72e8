#include "ui/texts/QtPathText.h"

#include "library/platform/PathText.h"

#include <type_traits>

namespace {
constexpr bool kWidePaths = std::is_same_v<std::filesystem::path::value_type, wchar_t>;
}

QString qStringFromPath(const std::filesystem::path &path)
{
    // Wide paths go over unit for unit, so names that are not valid UTF-16 survive too.
    if constexpr (kWidePaths)
        return QString::fromStdWString(path.wstring());
    else
        return QString::fromStdString(utf8FromPath(path));
}
