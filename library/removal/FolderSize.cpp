#include "library/removal/FolderSize.h"

#include <system_error>

namespace fs = std::filesystem;

std::uint64_t folderSize(const fs::path &folder, const std::atomic<bool> *stop)
{
    std::uint64_t total = 0;
    std::error_code error;
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                          error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        if (stop && stop->load(std::memory_order_relaxed))
            break;
        std::error_code entryError;
        if (walk->is_regular_file(entryError) && !walk->is_symlink(entryError)) {
            const std::uintmax_t size = walk->file_size(entryError);
            if (!entryError)
                total += size;
        }
    }
    return total;
}
