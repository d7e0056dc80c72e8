#include "library/catalogue/ModCatalogue.h"

#include "library/entryfile/EntryFieldReader.h"
#include "library/catalogue/ImportLeftovers.h"
#include "library/platform/PathText.h"

#include <algorithm>
#include <array>
#include <utility>

std::unique_ptr<ModCatalogue> sharedCatalogue;

namespace {

// The five lists in the order their values are read.
std::array<const FieldPatterns *, 5> recordLists(const ModCatalogue &catalogue)
{
    return {&catalogue.selfIdPatterns(), &catalogue.displayNamePatterns(),
            &catalogue.shortNamePatterns(), &catalogue.developerNamePatterns(),
            &catalogue.versionPatterns()};
}

// Gives a record the five values read from its entry file, in list order.
void setRecordValues(ModRecord &record, std::array<std::string, 5> &values)
{
    record.self_ID = std::move(values[0]);
    record.displayName = std::move(values[1]);
    record.shortName = std::move(values[2]);
    record.developerName = std::move(values[3]);
    record.version = std::move(values[4]);
    record.installState = isInstalled(record.entryPath);
}

// Records made while scanning, by index in the category's entries; null
// where the scan did not read the entry file.
using ReadRecords = std::vector<std::unique_ptr<ModRecord>>;

// A record for every entry with a self_ID, in list order, taking those made
// while scanning and reading the other entry files now.
std::vector<std::unique_ptr<ModRecord>> buildRecords(const ModLibraryRoots &roots,
                                                     EntryFieldReader &reader,
                                                     std::array<ReadRecords, 2> &read)
{
    std::vector<std::unique_ptr<ModRecord>> records;
    records.reserve(roots.aircraftEntries.size() + roots.techEntries.size());
    std::array<std::string, 5> values;
    const std::array<const std::vector<std::filesystem::path> *, 2> entries = {
        &roots.aircraftEntries, &roots.techEntries};
    for (std::size_t category = 0; category < entries.size(); ++category) {
        for (std::size_t i = 0; i < entries[category]->size(); ++i) {
            std::unique_ptr<ModRecord> record;
            if (i < read[category].size())
                record = std::move(read[category][i]);
            if (!record) {
                record = std::make_unique<ModRecord>();
                record->entryPath = (*entries[category])[i];
                reader.read(record->entryPath, values);
                setRecordValues(*record, values);
            }
            if (!record->self_ID.empty())
                records.push_back(std::move(record));
        }
    }
    return records;
}

} // namespace

ModCatalogue::ModCatalogue(ModLibraryRoots roots)
    : m_roots(std::move(roots)), m_developerName(FieldPatterns::developerName()),
      m_displayName(FieldPatterns::displayName()), m_shortName(FieldPatterns::shortName()),
      m_selfId(FieldPatterns::selfId()), m_version(FieldPatterns::version())
{}

ModCatalogue::~ModCatalogue() = default;

std::vector<std::reference_wrapper<ModRecord>> ModCatalogue::records() const
{
    std::vector<std::reference_wrapper<ModRecord>> result;
    result.reserve(m_records.size());
    for (const auto &record : m_records)
        result.emplace_back(*record);
    return result;
}

const ModLibraryRoots &ModCatalogue::roots() const
{
    return m_roots;
}

void ModCatalogue::reload()
{
    // The scan opens most entry files to find them; each is read there and
    // then, which spares looking it up a second time.
    const auto lists = recordLists(*this);
    EntryFieldReader reader(lists);
    std::array<std::string, 5> values;
    std::array<ReadRecords, 2> read;
    const auto readInto = [&](ReadRecords &records) {
        return [&](std::size_t index, const std::filesystem::path &entry, std::string_view bytes,
                   bool complete) {
            records.resize(std::max(records.size(), index + 1));
            records[index] = std::make_unique<ModRecord>();
            records[index]->entryPath = entry;
            reader.read(bytes, complete, values);
            setRecordValues(*records[index], values);
        };
    };
    std::vector<std::filesystem::path> aircraft =
        scanCategory(m_roots, ModCategory::Aircraft, readInto(read[0]));
    std::vector<std::filesystem::path> tech =
        scanCategory(m_roots, ModCategory::Tech, readInto(read[1]));
    m_roots.aircraftEntries = std::move(aircraft);
    m_roots.techEntries = std::move(tech);
    m_records = buildRecords(m_roots, reader, read);
}

void ModCatalogue::rebuildRecords()
{
    const auto lists = recordLists(*this);
    EntryFieldReader reader(lists);
    std::array<ReadRecords, 2> read;
    m_records = buildRecords(m_roots, reader, read);
}

void ModCatalogue::refreshRecord(ModRecord &record) const
{
    const auto lists = recordLists(*this);
    std::array<std::string, 5> values;
    EntryFieldReader(lists).read(record.entryPath, values);
    setRecordValues(record, values);
}

std::string ModCatalogue::readField(const std::filesystem::path &entryPath,
                                    const FieldPatterns &patterns) const
{
    const std::array<const FieldPatterns *, 1> lists = {&patterns};
    std::array<std::string, 1> values;
    readEntryFields(entryPath, lists, values);
    return std::move(values[0]);
}

const FieldPatterns &ModCatalogue::developerNamePatterns() const
{
    return m_developerName;
}

const FieldPatterns &ModCatalogue::displayNamePatterns() const
{
    return m_displayName;
}

const FieldPatterns &ModCatalogue::shortNamePatterns() const
{
    return m_shortName;
}

const FieldPatterns &ModCatalogue::selfIdPatterns() const
{
    return m_selfId;
}

const FieldPatterns &ModCatalogue::versionPatterns() const
{
    return m_version;
}

void loadCatalogue(const std::string &directoryUtf8)
{
    const std::filesystem::path directory = pathFromUtf8(directoryUtf8);
    // What killed imports left; what cannot go now is told at the next import.
    sweepLeftovers(directory, false);
    auto catalogue = std::make_unique<ModCatalogue>(
        ModLibraryRoots{directory / "aircraft", directory / "tech", {}, {}});
    catalogue->reload();
    sharedCatalogue = std::move(catalogue);
}
