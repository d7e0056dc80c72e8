#pragma once

#include "library/entryfile/FieldPatterns.h"
#include "library/catalogue/ModLibraryRoots.h"
#include "library/catalogue/ModRecord.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The catalogue of one mods directory: its roots, its records in display order
// (aircraft before tech, each in listing order) and the compiled patterns.
class ModCatalogue
{
public:
    explicit ModCatalogue(ModLibraryRoots roots);
    ~ModCatalogue();

    ModCatalogue(const ModCatalogue &) = delete;
    ModCatalogue &operator=(const ModCatalogue &) = delete;

    // References stay valid until the next reload or rebuildRecords.
    std::vector<std::reference_wrapper<ModRecord>> records() const;
    const ModLibraryRoots &roots() const;

    // Rescans both categories, then rebuilds the records. On a file-system
    // error it throws and leaves the roots and the records as they were.
    void reload();
    void rebuildRecords();
    void refreshRecord(ModRecord &record) const;

    std::string readField(const std::filesystem::path &entryPath, const FieldPatterns &patterns) const;

    const FieldPatterns &developerNamePatterns() const;
    const FieldPatterns &displayNamePatterns() const;
    const FieldPatterns &shortNamePatterns() const;
    const FieldPatterns &selfIdPatterns() const;
    const FieldPatterns &versionPatterns() const;

private:
    ModLibraryRoots m_roots;
    std::vector<std::unique_ptr<ModRecord>> m_records;
    FieldPatterns m_developerName;
    FieldPatterns m_displayName;
    FieldPatterns m_shortName;
    FieldPatterns m_selfId;
    FieldPatterns m_version;
};

// The current catalogue; empty until a mods directory is first loaded.
extern std::unique_ptr<ModCatalogue> sharedCatalogue;

// Scans the mods directory (UTF-8 text) and makes the result sharedCatalogue.
// Throws std::filesystem::filesystem_error and leaves sharedCatalogue as it
// was when the scan fails.
void loadCatalogue(const std::string &directoryUtf8);
