#include "bench/BenchStats.h"
#include "bench/ModsFolderGenerator.h"
#include "bench/SparseModsFolderGenerator.h"
#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/platform/PathText.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The whole file in one pass of plain unbuffered reads.
std::size_t readOnce(const fs::path &path, char *buffer, std::size_t bufferSize)
{
    std::ifstream file;
    file.rdbuf()->pubsetbuf(nullptr, 0);
    file.open(path, std::ios::in | std::ios::binary);
    if (!file)
        return 0;
    std::size_t total = 0;
    while (file.read(buffer, static_cast<std::streamsize>(bufferSize)) || file.gcount() > 0)
        total += static_cast<std::size_t>(file.gcount());
    return total;
}

// What any catalogue load must do at least: list both category folders and
// read every entry file once, taking it where it lies.
std::size_t floorPass(const fs::path &modsFolder)
{
    constexpr std::size_t kBufferSize = 1 << 20;
    static const auto buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    std::size_t bytes = 0;
    for (const char *category : {"aircraft", "tech"}) {
        for (const fs::directory_entry &candidate : fs::directory_iterator(modsFolder / category)) {
            if (!candidate.is_directory())
                continue;
            std::size_t read = readOnce(candidate.path() / kEntryFileName, buffer.get(), kBufferSize);
            if (read == 0)
                read = readOnce(candidate.path() / kStorageFolderName / kEntryFileName, buffer.get(),
                                kBufferSize);
            bytes += read;
        }
    }
    return bytes;
}

// The reading taken literally: five fresh reads per entry file and the
// standard engine on every line.
class LiteralReader
{
public:
    LiteralReader() : m_comment(std::string(kCommentPatternText), std::regex::ECMAScript)
    {
        for (const FieldPatterns &list :
             {FieldPatterns::selfId(), FieldPatterns::displayName(), FieldPatterns::shortName(),
              FieldPatterns::developerName(), FieldPatterns::version()}) {
            std::vector<std::regex> compiled;
            for (const std::string &text : list.patternTexts())
                compiled.emplace_back(text, std::regex::ECMAScript);
            m_lists.push_back(std::move(compiled));
        }
    }

    std::vector<ModRecord> load(const fs::path &modsFolder) const
    {
        ModLibraryRoots roots{modsFolder / "aircraft", modsFolder / "tech", {}, {}};
        roots.aircraftEntries = scanCategory(roots, ModCategory::Aircraft);
        roots.techEntries = scanCategory(roots, ModCategory::Tech);
        std::vector<ModRecord> records;
        for (const auto *list : {&roots.aircraftEntries, &roots.techEntries}) {
            for (const fs::path &path : *list) {
                ModRecord record{path,
                                 readField(path, 0),
                                 readField(path, 1),
                                 readField(path, 2),
                                 readField(path, 3),
                                 readField(path, 4),
                                 isInstalled(path)};
                if (!record.self_ID.empty())
                    records.push_back(std::move(record));
            }
        }
        return records;
    }

private:
    std::string readField(const fs::path &path, std::size_t list) const
    {
        std::ifstream file(path);
        std::string line;
        while (std::getline(file, line)) {
            if (std::regex_search(line, m_comment))
                continue;
            for (const std::regex &pattern : m_lists[list]) {
                std::smatch match;
                if (std::regex_search(line, match, pattern))
                    return match[1].str();
            }
        }
        return {};
    }

    std::regex m_comment;
    std::vector<std::vector<std::regex>> m_lists;
};

bool sameRecords(const std::vector<ModRecord> &expected)
{
    const auto actual = sharedCatalogue->records();
    if (actual.size() != expected.size())
        return false;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        const ModRecord &a = actual[i];
        const ModRecord &b = expected[i];
        if (a.entryPath != b.entryPath || a.self_ID != b.self_ID ||
            a.displayName != b.displayName || a.shortName != b.shortName ||
            a.developerName != b.developerName || a.version != b.version ||
            a.installState != b.installState)
            return false;
    }
    return true;
}


struct Figures
{
    double floor = 0;
    double load = 0;
};

// Both timed in turns, the order swapped every run, so that both meet the same
// machine state; the literal reading, far slower, only checks the records.
Figures measure(const fs::path &modsFolder, int runs)
{
    const std::string directory = utf8FromPath(modsFolder);
    const LiteralReader literal;
    loadCatalogue(directory); // warms the cache
    const std::vector<ModRecord> literalRecords = literal.load(modsFolder);
    if (!sameRecords(literalRecords)) {
        std::printf("FAILED: loadCatalogue disagrees with the literal reading\n");
        std::exit(1);
    }
    std::printf("  records: %zu, equal to the literal reading\n", literalRecords.size());

    std::vector<double> loadTimes;
    std::vector<double> floorTimes;
    std::size_t checksum = 0;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const Clock::time_point start = Clock::now();
            if ((run + turn) % 2 == 0) {
                checksum += floorPass(modsFolder);
                floorTimes.push_back(millisecondsSince(start));
            } else {
                loadCatalogue(directory);
                loadTimes.push_back(millisecondsSince(start));
            }
        }
    }
    const Figures figures{median(floorTimes), median(loadTimes)};
    std::printf("  floor (list both categories, read each entry file once): median %.2f ms of %d runs\n",
                figures.floor, runs);
    std::printf("  loadCatalogue:                                          median %.2f ms of %d runs\n",
                figures.load, runs);
    std::printf("  loadCatalogue / floor: %.2fx (target at most 1.3x)  (checksum %zu)\n",
                figures.load / figures.floor, checksum);
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    const std::size_t mods = argc > 1 ? std::stoul(argv[1]) : 2000;
    const int runs = argc > 2 ? std::stoi(argv[2]) : 15;
    TempDir temporary;

    ModsFolderGenerator::Options options;
    options.modCount = mods;
    const fs::path classicFolder = temporary / "classic";
    const ModsFolderGenerator::Summary classic = ModsFolderGenerator(options).generate(classicFolder);
    std::printf("ModsFolderGenerator: %zu aircraft, %zu tech, %zu disabled, %.1f KB of entry files\n",
                classic.aircraft, classic.tech, classic.disabled,
                static_cast<double>(classic.entryBytes) / 1024.0);
    const Figures first = measure(classicFolder, runs);

    SparseModsFolderGenerator::Options sparseOptions;
    sparseOptions.modCount = mods;
    const fs::path sparseFolder = temporary / "sparse";
    const SparseModsFolderGenerator::Summary sparse =
        SparseModsFolderGenerator(sparseOptions).generate(sparseFolder);
    std::printf("SparseModsFolderGenerator: %zu aircraft, %zu tech, %zu disabled, %zu of ~100 KB, "
                "%.1f KB of entry files\n",
                sparse.aircraft, sparse.tech, sparse.disabled, sparse.large,
                static_cast<double>(sparse.entryBytes) / 1024.0);
    const Figures second = measure(sparseFolder, runs);

    const bool within = first.load <= 1.3 * first.floor && second.load <= 1.3 * second.floor;
    std::printf("%s: both folders within 1.3x of the floor\n", within ? "PASS" : "OVER");
    return 0;
}
