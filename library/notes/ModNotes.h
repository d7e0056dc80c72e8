#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

struct ModRecord;

// A short note per mod, kept in data/notes beside the settings file. Notes
// belong to a mod folder (its category folder and its own name), so two mods
// that declare the same self ID keep notes of their own.
//
// A damaged file is refused: no note is shown, and no note is saved over it
// until the user mends or removes it.
class ModNotes
{
public:
    static constexpr std::size_t kMaxLength = 500; // characters

    // Category folder name and mod folder name, as UTF-8.
    using Key = std::pair<std::string, std::string>;

    explicit ModNotes(std::filesystem::path file);

    // Reads the file; no file means no notes. Throws DataFileError when it is
    // damaged, std::filesystem::filesystem_error when it cannot be read.
    void load();
    bool isRefused() const;
    const std::filesystem::path &file() const;

    static Key keyOf(const ModRecord &record);
    // Null when the mod has no note. Valid until the next change.
    const std::string *noteOf(const Key &key) const;
    const std::string *noteOf(const ModRecord &record) const;

    // Sets (an empty text removes) the note and saves the file. The text is
    // kept on one line and cut to kMaxLength characters. Throws DataFileError
    // when the file was refused, std::filesystem::filesystem_error when it
    // cannot be written; the notes are then as they were.
    void setNote(const Key &key, std::string note);

    // The text as setNote keeps it.
    static std::string normalised(std::string note);

private:
    std::filesystem::path m_file;
    std::map<Key, std::string> m_notes;
    bool m_refused = false;
};

// data/notes, relative to the working directory like the settings file.
std::filesystem::path notesFilePath();
