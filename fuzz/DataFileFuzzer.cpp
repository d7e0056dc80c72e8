// Bytes in as the notes file and as the list-order file: each is either
// refused as damaged, and then left exactly as it was, or read; what was read
// comes back unchanged after a save and a fresh read.

#include "fuzz/FuzzCheck.h"
#include "library/notes/ModNotes.h"
#include "library/platform/DataFile.h"
#include "library/viewchoice/SortChoice.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

void writeBytes(const fs::path &file, const std::string &bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::string readBytes(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void checkNotes(const fs::path &file, const std::string &bytes)
{
    writeBytes(file, bytes);
    ModNotes notes(file);
    try {
        notes.load();
    } catch (const DataFileError &) {
        fuzzCheck(notes.isRefused(), "a damaged notes file is refused");
        try {
            notes.setNote({"aircraft", "A"}, "x");
            fuzzCheck(false, "no note is saved over a damaged file");
        } catch (const DataFileError &) {
        }
        fuzzCheck(readBytes(file) == bytes, "a damaged notes file stays as it was");
        return;
    }
    const ModNotes::Key added{"tech", "fuzz\t\\folder\n"};
    const std::string *before = notes.noteOf(ModNotes::Key{"aircraft", "A"});
    const std::string kept = before ? *before : std::string();
    notes.setNote(added, bytes.substr(0, 40));
    ModNotes again(file);
    again.load();
    const std::string *after = again.noteOf(ModNotes::Key{"aircraft", "A"});
    fuzzCheck((after ? *after : std::string()) == kept, "a note read survives a save");
    const std::string *written = again.noteOf(added);
    fuzzCheck((written ? *written : std::string()) == ModNotes::normalised(bytes.substr(0, 40)),
              "a saved note reads back");
}

void checkListOrder(const fs::path &file, const std::string &bytes)
{
    writeBytes(file, bytes);
    SortChoice choice;
    try {
        choice = readSortChoice(file);
    } catch (const DataFileError &) {
        fuzzCheck(readBytes(file) == bytes, "a damaged list-order file stays as it was");
        return;
    }
    saveSortChoice(file, choice);
    fuzzCheck(readSortChoice(file) == choice, "the list order reads back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const fs::path folder = fuzzScratchFolder();
    checkNotes(folder / "notes", bytes);
    checkListOrder(folder / "list-order", bytes);
    return 0;
}
