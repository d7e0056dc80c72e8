#include "BenchStats.h"
#include "ModsFolderGenerator.h"
#include "Constants.h"
#include "ModCatalogue.h"
#include "PathText.h"
#include "TempDir.h"

#include <algorithm>
#include <chrono>
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

fs::path findEntryFile(const fs::path &folder)
{
    for (const fs::directory_entry &item : fs::directory_iterator(folder))
        if (item.path().filename() == kEntryFileName)
            return item.path();
    return {};
}

std::size_t readOnce(const fs::path &path, char *buffer, std::size_t bufferSize)
{
    std::ifstream file;
    file.rdbuf()->pubsetbuf(nullptr, 0);
    file.open(path, std::ios::in);
    std::size_t total = 0;
    while (file.read(buffer, static_cast<std::streamsize>(bufferSize)) || file.gcount() > 0)
        total += static_cast<std::size_t>(file.gcount());
    return total;
}

// What any catalogue load must do at least: list the same folders and read
// every entry file once.
std::size_t floorPass(const fs::path &modsFolder)
{
    auto buffer = std::make_unique_for_overwrite<char[]>(16 * 1024);
    std::size_t bytes = 0;
    for (const char *category : {"aircraft", "tech"}) {
        for (const fs::directory_entry &candidate : fs::directory_iterator(modsFolder / category)) {
            if (!candidate.is_directory())
                continue;
            fs::path entry = findEntryFile(candidate.path());
            if (entry.empty() && fs::is_directory(candidate.path() / kStorageFolderName))
                entry = findEntryFile(candidate.path() / kStorageFolderName);
            if (!entry.empty())
                bytes += readOnce(entry, buffer.get(), 16 * 1024);
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

} // namespace

int main(int argc, char **argv)
{
    ModsFolderGenerator::Options options;
    if (argc > 1)
        options.modCount = std::stoul(argv[1]);
    const int runs = argc > 2 ? std::stoi(argv[2]) : 15;
    const int literalRuns = 3;

    TempDir temporary;
    const fs::path modsFolder = temporary / "mods";
    const ModsFolderGenerator::Summary summary = ModsFolderGenerator(options).generate(modsFolder);
    std::printf("mods folder: %zu aircraft, %zu tech, %zu disabled, %.1f KB of entry files\n",
                summary.aircraft, summary.tech, summary.disabled,
                static_cast<double>(summary.entryBytes) / 1024.0);

    const std::string directory = utf8FromPath(modsFolder);
    const LiteralReader literal;
    loadCatalogue(directory); // warms the cache
    const std::vector<ModRecord> literalRecords = literal.load(modsFolder);
    if (!sameRecords(literalRecords)) {
        std::printf("FAILED: loadCatalogue disagrees with the literal reading\n");
        return 1;
    }
    std::printf("records: %zu, equal to the literal reading\n", literalRecords.size());

    std::vector<double> loadTimes;
    std::vector<double> floorTimes;
    std::size_t checksum = 0;
    for (int run = 0; run < runs; ++run) {
        Clock::time_point start = Clock::now();
        checksum += floorPass(modsFolder);
        floorTimes.push_back(millisecondsSince(start));
        start = Clock::now();
        loadCatalogue(directory);
        loadTimes.push_back(millisecondsSince(start));
    }
    std::vector<double> literalTimes;
    for (int run = 0; run < literalRuns; ++run) {
        const Clock::time_point start = Clock::now();
        checksum += literal.load(modsFolder).size();
        literalTimes.push_back(millisecondsSince(start));
    }

    const double floor = median(floorTimes);
    const double load = median(loadTimes);
    const double literalTime = median(literalTimes);
    std::printf("floor (list the folders, read each entry file once): median %.2f ms of %d runs\n",
                floor, runs);
    std::printf("loadCatalogue:                                      median %.2f ms of %d runs\n",
                load, runs);
    std::printf("literal reading (5 reads per file, std::regex):     median %.2f ms of %d runs\n",
                literalTime, literalRuns);
    std::printf("loadCatalogue / floor: %.2fx (target at most 1.5x)\n", load / floor);
    std::printf("literal / floor:       %.2fx\n", literalTime / floor);
    std::printf("(checksum %zu)\n", checksum);
    return 0;
}
