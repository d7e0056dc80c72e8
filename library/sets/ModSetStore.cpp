#include "library/sets/ModSetStore.h"

#include "library/catalogue/Constants.h"
#include "library/platform/FileBytes.h"
#include "library/platform/FileReplace.h"
#include "library/platform/PathText.h"
#include "library/sets/ModSetJson.h"

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;

fs::path modSetsFolder()
{
    return fs::path(kSettingsFilePath).parent_path() / "sets";
}

ModSet readModSetFile(const fs::path &file)
{
    FileBytes bytes;
    std::error_code failure;
    if (!bytes.read(file, false, &failure))
        throw fs::filesystem_error("read", file, failure);
    try {
        return modSetFromJson(bytes.view());
    } catch (const ModSetError &error) {
        throw ModSetError(error.problem(), utf8FromPath(file.filename()));
    }
}

bool writeModSetFile(const fs::path &file, const ModSet &set, std::error_code &failure)
{
    failure.clear();
    const fs::path folder = file.parent_path();
    if (!folder.empty() && !fs::is_directory(folder, failure)) {
        failure.clear();
        fs::create_directories(folder, failure);
        if (failure)
            return false;
    }
    // The replacing write needs a file to replace; a new set starts empty,
    // and an empty set file reads as damaged, never as some other set.
    if (!fs::exists(file, failure)) {
        if (failure)
            return false;
        std::ofstream created(file, std::ios::binary);
        if (!created) {
            failure = std::make_error_code(std::errc::permission_denied);
            return false;
        }
    }
    return replaceFileContents(file, modSetToJson(set), &failure);
}

LoadedModSets loadModSets(const fs::path &folder)
{
    LoadedModSets loaded;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error)
        return loaded;
    for (const fs::directory_entry &item : it) {
        const fs::path file = item.path();
        if (file.extension() != kModSetFileExtension || !item.is_regular_file(error))
            continue;
        try {
            loaded.sets.push_back({file, readModSetFile(file)});
        } catch (const ModSetError &refused) {
            loaded.unreadable.push_back({file, refused.problem(), {}});
        } catch (const fs::filesystem_error &failed) {
            loaded.unreadable.push_back({file, ModSetProblem::NotJson, failed.code()});
        }
    }
    std::sort(loaded.sets.begin(), loaded.sets.end(),
              [](const StoredModSet &a, const StoredModSet &b) { return a.set.name < b.set.name; });
    return loaded;
}

fs::path modSetFileFor(const fs::path &folder, const std::string &name)
{
    std::string stem;
    for (const char c : name) {
        const bool refused = static_cast<unsigned char>(c) < 0x20 ||
                             std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        stem += refused ? '_' : c;
    }
    // Windows drops trailing dots and spaces, and a leading dot hides the file.
    while (!stem.empty() && (stem.back() == '.' || stem.back() == ' '))
        stem.pop_back();
    if (stem.empty() || stem.front() == '.')
        stem.insert(stem.begin(), '_');
    return folder / pathFromUtf8(stem + kModSetFileExtension);
}
