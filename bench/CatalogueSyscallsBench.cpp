// System calls of one catalogue load, per mod, counted by strace -c -f over a
// child that loads the generated folder once, less a child that loads an empty
// folder (start-up, pattern compilation and exit).
#include "library/catalogue/ModCatalogue.h"
#include "bench/ModsFolderGenerator.h"
#include "library/platform/PathText.h"
#include "bench/SparseModsFolderGenerator.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include <unistd.h>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr char kLoadMode[] = "--load";

// Calls by system call name, from strace's summary table; "total" among them.
std::map<std::string, double> countCalls(const fs::path &folder, const fs::path &output)
{
    const std::string command = "strace -c -f -o '" + output.string() + "' /proc/" +
                                std::to_string(::getpid()) + "/exe " + kLoadMode + " '" +
                                folder.string() + "' >/dev/null";
    if (std::system(command.c_str()) != 0)
        return {};
    std::map<std::string, double> calls;
    std::ifstream table(output);
    std::string line;
    while (std::getline(table, line)) {
        // % time, seconds, usecs/call, calls, [errors,] name
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string word; words >> word;)
            fields.push_back(word);
        if (fields.size() < 5 || fields[0].find_first_not_of("0123456789.") != std::string::npos)
            continue;
        calls[fields.back()] = std::stod(fields[3]);
    }
    return calls;
}

bool report(const char *name, const fs::path &folder, const fs::path &emptyFolder, double mods,
            const fs::path &scratch)
{
    const auto empty = countCalls(emptyFolder, scratch / "empty.txt");
    const auto full = countCalls(folder, scratch / "full.txt");
    if (empty.empty() || full.empty()) {
        std::printf("%s: SKIPPED, strace did not run (scripts/install-deps installs it)\n", name);
        return true;
    }
    const auto perMod = [&](const std::string &call) {
        const auto base = empty.find(call);
        return (full.at(call) - (base == empty.end() ? 0 : base->second)) / mods;
    };
    const double total = perMod("total");
    std::printf("%s: %.2f system calls per mod (target at most 6):", name, total);
    for (const auto &[call, count] : full)
        if (call != "total" && perMod(call) >= 0.05)
            std::printf(" %s %.2f", call.c_str(), perMod(call));
    std::printf("\n");
    return total <= 6;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], kLoadMode) == 0) {
        loadCatalogue(utf8FromPath(argv[2]));
        std::printf("%zu\n", sharedCatalogue->records().size());
        return 0;
    }
    const std::size_t mods = argc > 1 ? std::stoul(argv[1]) : 2000;
    TempDir temporary;
    fs::create_directories(temporary / "empty");

    ModsFolderGenerator::Options classic;
    classic.modCount = mods;
    ModsFolderGenerator(classic).generate(temporary / "classic");
    SparseModsFolderGenerator::Options sparse;
    sparse.modCount = mods;
    SparseModsFolderGenerator(sparse).generate(temporary / "sparse");

    const double count = static_cast<double>(mods);
    bool within = report("ModsFolderGenerator", temporary / "classic", temporary / "empty", count,
                         temporary.path());
    within = report("SparseModsFolderGenerator", temporary / "sparse", temporary / "empty", count,
                    temporary.path()) &&
             within;
    std::printf("%s: loadCatalogue within 6 system calls per mod\n", within ? "PASS" : "OVER");
    return 0;
}
