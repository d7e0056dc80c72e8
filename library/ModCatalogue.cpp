#include "ModCatalogue.h"

#include "EntryFieldReader.h"
#include "FolderHandle.h"
#include "PathText.h"

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
    std::vector<std::filesystem::path> aircraft = scanCategory(m_roots, ModCategory::Aircraft);
    std::vector<std::filesystem::path> tech = scanCategory(m_roots, ModCategory::Tech);
    m_roots.aircraftEntries = std::move(aircraft);
    m_roots.techEntries = std::move(tech);
    rebuildRecords();
}

void ModCatalogue::rebuildRecords()
{
    std::vector<std::unique_ptr<ModRecord>> records;
    records.reserve(m_roots.aircraftEntries.size() + m_roots.techEntries.size());
    const auto lists = recordLists(*this);
    EntryFieldReader reader(lists);
    std::array<std::string, 5> values;
    const std::pair<const std::filesystem::path *, const std::vector<std::filesystem::path> *>
        categories[] = {{&m_roots.aircraftPath, &m_roots.aircraftEntries},
                        {&m_roots.techPath, &m_roots.techEntries}};
    for (const auto &[categoryPath, entries] : categories) {
        // Entry files are opened relative to their category folder.
        const FolderHandle category(*categoryPath);
        for (const std::filesystem::path &entryPath : *entries) {
            auto record = std::make_unique<ModRecord>();
            record->entryPath = entryPath;
            reader.read(category, entryPath, values);
            setRecordValues(*record, values);
            if (!record->self_ID.empty())
                records.push_back(std::move(record));
        }
    }
    m_records = std::move(records);
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
    auto catalogue = std::make_unique<ModCatalogue>(
        ModLibraryRoots{directory / "aircraft", directory / "tech", {}, {}});
    catalogue->reload();
    sharedCatalogue = std::move(catalogue);
}
