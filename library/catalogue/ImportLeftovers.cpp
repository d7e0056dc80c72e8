#include "library/catalogue/ImportLeftovers.h"

#include "library/platform/PlatformCopy.h"

#include <mutex>
#include <random>
#include <set>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool startsWith(const fs::path &fileName, std::string_view prefix)
{
    const fs::path::string_type &name = fileName.native();
    if (name.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (name[i] != static_cast<fs::path::value_type>(prefix[i]))
            return false;
    return true;
}

// A leftover that cannot be removed is told about once, not at every import.
bool firstReport(const fs::path &path)
{
    static std::mutex mutex;
    static std::set<fs::path> reported;
    const std::lock_guard lock(mutex);
    return reported.insert(path).second;
}

void removeTemporaryFiles(const fs::path &category, std::vector<fs::path> &kept, bool report)
{
    std::error_code error;
    fs::recursive_directory_iterator it(category, fs::directory_options::skip_permission_denied,
                                        error);
    for (const fs::recursive_directory_iterator end; !error && it != end; it.increment(error)) {
        if (!startsWith(it->path().filename(), kTemporaryFilePrefix))
            continue;
        std::error_code removing;
        if (it->is_directory(removing) && !it->is_symlink(removing))
            continue;
        if (!fs::remove(it->path(), removing) && removing && report && firstReport(it->path()))
            kept.push_back(it->path());
    }
}

} // namespace

bool isLeftoverName(const fs::path &fileName)
{
    return startsWith(fileName, kTemporaryFilePrefix) || startsWith(fileName, kStagingFolderName) ||
           startsWith(fileName, kImportMarkerName);
}

fs::path uniqueNameIn(const fs::path &folder, const char *prefix)
{
    static std::mutex mutex;
    static std::mt19937_64 generator(std::random_device{}());
    static constexpr char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = prefix;
    {
        const std::lock_guard lock(mutex);
        for (int i = 0; i < 12; ++i)
            name += kLetters[generator() % (sizeof kLetters - 1)];
    }
    return folder / name;
}

std::vector<fs::path> sweepLeftovers(const fs::path &modsFolder, bool report)
{
    std::vector<fs::path> kept;
    std::error_code error;
    fs::directory_iterator it(modsFolder, error);
    bool cutShort = false;
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        const fs::path name = it->path().filename();
        if (startsWith(name, kImportMarkerName)) {
            cutShort = true;
        } else if (startsWith(name, kStagingFolderName)) {
            std::error_code removing;
            fs::remove_all(it->path(), removing);
            if (removing && report && firstReport(it->path()))
                kept.push_back(it->path());
        }
    }
    if (!cutShort)
        return kept;
    removeTemporaryFiles(modsFolder / "aircraft", kept, report);
    removeTemporaryFiles(modsFolder / "tech", kept, report);
    fs::remove(modsFolder / kImportMarkerName, error);
    return kept;
}

ImportMarker::ImportMarker(const fs::path &modsFolder) : m_path(modsFolder / kImportMarkerName)
{
    std::error_code error;
    if (fs::exists(fs::symlink_status(m_path, error)))
        return;
    // Without the marker (a read-only mods folder) the import fails anyway.
    NewFile marker(m_path, error);
    if (!error)
        m_made = !marker.close(0);
}

ImportMarker::~ImportMarker()
{
    std::error_code ignored;
    if (m_made)
        fs::remove(m_path, ignored);
}
