#include "FolderWalk.h"

#include "FileSystemError.h"

namespace fs = std::filesystem;

namespace {

constexpr char kOpening[] = "directory_iterator::directory_iterator";
constexpr char kAdvancing[] = "directory_iterator::operator++";

void walk(const fs::path &folder, const std::function<bool(const fs::directory_entry &)> &visit,
          const std::function<void(const char *, std::error_code)> &fail)
{
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error)
        fail(kOpening, error);
    for (const fs::directory_iterator end; it != end;) {
        if (!visit(*it))
            return;
        it.increment(error);
        if (error)
            fail(kAdvancing, error);
    }
}

} // namespace

void walkFolder(const fs::path &folder, const std::function<bool(const fs::directory_entry &)> &visit)
{
    walk(folder, visit, [&folder](const char *operation, std::error_code error) {
        if (operation == kOpening)
            throwFileSystemError(operation, folder, error);
        throwFileSystemError(operation, error);
    });
}

void walkFolder(const fs::path &folder, const std::function<bool(const fs::directory_entry &)> &visit,
                const std::function<void(std::error_code)> &fail)
{
    walk(folder, visit, [&fail](const char *, std::error_code error) { fail(error); });
}
