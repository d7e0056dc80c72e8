#include "fuzz/FuzzCheck.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

void fuzzCheck(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (true) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return lines;
        text.remove_prefix(end + 1);
    }
}

namespace {

// Removed again when the fuzzer exits normally.
struct ScratchFolder
{
    fs::path path;

    ScratchFolder()
    {
        std::error_code error;
        const fs::path base =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        path = base / ("tessel3-fuzz-" + std::to_string(::getpid()));
        fs::remove_all(path, error);
        fs::create_directories(path);
    }

    ~ScratchFolder()
    {
        std::error_code error;
        fs::remove_all(path, error);
    }
};

} // namespace

fs::path fuzzScratchFolder()
{
    static const ScratchFolder folder;
    return folder.path;
}
