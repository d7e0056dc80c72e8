#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What a killed import leaves behind, and how it is recognised and swept.

// Temporary files are named with this prefix (then random letters) beside
// the file they will become.
inline constexpr char kTemporaryFilePrefix[] = ".tessel3-part-";
// Every run unpacks into a fresh folder of its own in the mods directory,
// named with this prefix.
inline constexpr char kStagingFolderName[] = ".tessel3-unpacking";
// Lies in the mods directory while an import writes into it: after a kill,
// it says that temporary files may be left in the category folders.
inline constexpr char kImportMarkerName[] = ".tessel3-importing";

// True for the names of temporary files, unpacking folders and the marker:
// never listed, imported, searched or counted.
bool isLeftoverName(const std::filesystem::path &fileName);

// `prefix` and random letters: a name nobody else uses in `folder`.
std::filesystem::path uniqueNameIn(const std::filesystem::path &folder, const char *prefix);

// Removes the unpacking folders in the mods directory, and, when the marker
// says an import was cut short, the temporary files in both category folders.
// Gives the leftovers that could not be removed, each once per process;
// without `report`, gives none and keeps them for the next report.
std::vector<std::filesystem::path> sweepLeftovers(const std::filesystem::path &modsFolder,
                                                  bool report = true);

// Marks the mods directory for an import's lifetime (see kImportMarkerName).
class ImportMarker
{
public:
    explicit ImportMarker(const std::filesystem::path &modsFolder);
    ~ImportMarker();
    ImportMarker(const ImportMarker &) = delete;
    ImportMarker &operator=(const ImportMarker &) = delete;

private:
    std::filesystem::path m_path;
    bool m_made = false;
};
