#include "library/platform/FolderWalk.h"

#include "library/platform/FileSystemError.h"
#include "library/platform/PlatformMove.h"

namespace fs = std::filesystem;

namespace {

constexpr char kOpening[] = "directory_iterator::directory_iterator";
constexpr char kAdvancing[] = "directory_iterator::operator++";

void walk(const fs::path &folder, const std::function<bool(const fs::directory_entry &)> &visit,
          const std::function<void(const char *, std::error_code)> &fail)
{
    std::error_code error;
#ifdef _WIN32
    bool opening = false;
    platformListFolder(
        folder,
        [&](const fs::path &name) {
            std::error_code status;
            const fs::directory_entry entry(folder / name, status);
            if (status)
                fail(kAdvancing, status);
            return visit(entry);
        },
        error, opening);
    if (error)
        fail(opening ? kOpening : kAdvancing, error);
#else
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
#endif
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
