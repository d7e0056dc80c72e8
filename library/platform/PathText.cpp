#include "library/platform/PathText.h"

std::filesystem::path pathFromUtf8(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8FromPath(const std::filesystem::path &path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string utf8FromNative(const std::filesystem::path::string_type &text)
{
#ifdef _WIN32
    return utf8FromPath(std::filesystem::path(text));
#else
    return text;
#endif
}
