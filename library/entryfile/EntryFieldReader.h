#pragma once

#include "library/entryfile/FieldPatterns.h"

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reads the values of several pattern lists from entry files, one reading of
// each file for all the lists. Prepared once for its lists, which must outlive
// it, it serves any number of files.
class EntryFieldReader
{
public:
    explicit EntryFieldReader(std::span<const FieldPatterns *const> lists);

    // Gives values[i] the value of lists[i]: the first capture on the earliest
    // non-comment line where a pattern of that list matches, empty when none
    // does or the file cannot be read. The file is read whole in binary mode,
    // so a CR before a line feed stays in the line (no pattern depends on it)
    // and a Ctrl-Z byte is just a byte. Never throws for the file's sake.
    void read(const std::filesystem::path &entryPath, std::span<std::string> values);
    // The same from the bytes of a file read already, and whether they were
    // read to the end.
    void read(std::string_view bytes, bool complete, std::span<std::string> values);

private:
    // A key text of one list, found by looking for its least common byte.
    struct Key
    {
        std::string_view text;
        std::size_t rareOffset = 0;
        std::size_t list = 0;
    };
    // The keys that share a searched byte, keys[first, last), and where that
    // byte next stands inside one of them whose list is undecided. A byte that
    // is not a capital comes often in identifiers and prose, so a second byte
    // that all these keys hold at `pairDistance` from it is tested in the same
    // sweep.
    struct ByteSearch
    {
        char byte = 0;
        bool paired = false;
        char pairByte = 0;
        std::ptrdiff_t pairDistance = 0;
        std::size_t first = 0;
        std::size_t last = 0;
        std::size_t next = 0;
    };

    void readText(std::string_view text, std::span<std::string> values);
    std::size_t findKey(const ByteSearch &search, std::string_view text, std::size_t from,
                        std::size_t to) const;
    bool keyAt(const Key &key, std::string_view text, std::size_t hit) const;
    std::span<const Key> group(const ByteSearch &search) const;

    std::span<const FieldPatterns *const> m_lists;
    std::vector<Key> m_keys;
    std::vector<ByteSearch> m_searches;
    std::size_t m_keylessLists = 0;
    // Per file: which lists have their value, and which hold a key in the line.
    std::vector<char> m_decided;
    std::vector<char> m_holdsKey;
};

// One reading with a reader made for the lists.
void readEntryFields(const std::filesystem::path &entryPath,
                     std::span<const FieldPatterns *const> lists, std::span<std::string> values);
