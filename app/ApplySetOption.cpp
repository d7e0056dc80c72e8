#include "app/ApplySetOption.h"

#include "library/catalogue/ModCatalogue.h"
#include "library/history/RecordedSwitching.h"
#include "library/platform/PathText.h"
#include "library/sets/ApplySwitch.h"
#include "library/sets/ModSetError.h"
#include "library/sets/ModSetStore.h"
#include "library/sets/SwitchPlan.h"
#include "settings/SettingsFile.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr char kOption[] = "--apply-set";
constexpr int kRefused = 1;
constexpr int kUsage = 2;

const char *categoryName(ModCategory category)
{
    return categoryWord(category);
}

// The saved set of that name, or the set file at that path.
ModSet findSet(const std::string &wanted)
{
    const fs::path file = pathFromUtf8(wanted);
    if (file.extension() == kModSetFileExtension || fs::is_regular_file(file))
        return readModSetFile(file);
    const LoadedModSets loaded = loadModSets(modSetsFolder());
    for (const StoredModSet &stored : loaded.sets)
        if (stored.set.name == wanted)
            return stored.set;
    throw std::runtime_error("no saved set is named \"" + wanted + "\" in " +
                             utf8FromPath(modSetsFolder()));
}

} // namespace

std::optional<int> runApplySetOption(const std::vector<std::string> &arguments, std::ostream &out,
                                     std::ostream &err)
{
    const auto option = std::find(arguments.begin(), arguments.end(), kOption);
    if (option == arguments.end())
        return std::nullopt;
    if (option + 1 == arguments.end() || (option + 1)->empty()) {
        err << "tessel3: " << kOption << " needs the name of a saved set or a .t3set file\n";
        return kUsage;
    }
    const std::string &wanted = *(option + 1);
    const fs::path directory = readDirectorySetting();
    if (directory.empty()) {
        err << "tessel3: no mods folder is chosen yet; start the program once and choose it\n";
        return kRefused;
    }
    ModSet set;
    try {
        loadCatalogue(utf8FromPath(directory));
        set = findSet(wanted);
    } catch (const ModSetError &refused) {
        err << "tessel3: the set file " << wanted << " was refused: " << refused.what() << "\n";
        return kRefused;
    } catch (const fs::filesystem_error &failed) {
        err << "tessel3: " << utf8FromPath(failed.path1()) << ": " << failed.code().message() << "\n";
        return kRefused;
    } catch (const std::exception &failed) {
        err << "tessel3: " << failed.what() << "\n";
        return kRefused;
    }

    const SwitchPlan plan = planSwitch(*sharedCatalogue, set);
    const SwitchOutcome outcome = recordedApplySwitch(*sharedCatalogue, plan, sharedJournal());
    if (!outcome.complete) {
        if (outcome.notReversed.empty()) {
            err << "tessel3: set \"" << set.name << "\" not applied, nothing changed: could not move "
                << outcome.refused.mod.folder << " (" << outcome.refused.reason.message() << ")\n";
        } else {
            err << "tessel3: set \"" << set.name << "\" half applied: could not move "
                << outcome.refused.mod.folder << " (" << outcome.refused.reason.message()
                << ") nor put back:";
            for (const FailedSwitch &stayed : outcome.notReversed)
                err << " " << stayed.mod.folder << " (" << stayed.reason.message() << ")";
            err << "\n";
        }
        return kRefused;
    }
    out << "Set \"" << set.name << "\" applied: " << outcome.switchedOn << " on, "
        << outcome.switchedOff << " off, " << plan.missing.size() << " missing.\n";
    for (const ModSetMember &missing : plan.missing)
        out << "missing: " << missing.selfId << " | " << missing.name << " | " << missing.version
            << " | " << categoryName(missing.category) << "\n";
    return std::nullopt;
}
