#include "library/notes/ModNotes.h"

#include "library/catalogue/ModRecord.h"
#include "library/platform/DataFile.h"
#include "library/platform/FileReplace.h"
#include "library/platform/FileSystemError.h"
#include "library/platform/PathText.h"

#include <optional>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "tessel3 notes 1";

bool isValidUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xe ? 3 : (lead >> 3) == 0x1e ? 4 : 0;
        if (length == 0 || at + length > text.size())
            return false;
        for (std::size_t next = 1; next < length; ++next)
            if ((static_cast<unsigned char>(text[at + next]) >> 6) != 0x2)
                return false;
        at += length;
    }
    return true;
}

} // namespace

ModNotes::ModNotes(fs::path file) : m_file(std::move(file)) {}

void ModNotes::load()
{
    m_notes.clear();
    m_refused = false;
    std::error_code failure;
    const std::optional<std::string> bytes = readFileForUpdate(m_file, failure);
    if (failure) {
        m_refused = true;
        throwFileSystemError("open", m_file, failure);
    }
    if (!bytes || bytes->empty())
        return;
    std::map<Key, std::string> notes;
    std::string_view rest = *bytes;
    for (std::size_t lineNumber = 1; !rest.empty(); ++lineNumber) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto refuse = [&] {
            m_refused = true;
            throw DataFileError(m_file, lineNumber);
        };
        if (lineNumber == 1) {
            if (line != kHeader)
                refuse();
            continue;
        }
        if (line.empty())
            continue;
        const std::size_t firstTab = line.find('\t');
        const std::size_t secondTab =
            firstTab == std::string_view::npos ? firstTab : line.find('\t', firstTab + 1);
        if (secondTab == std::string_view::npos ||
            line.find('\t', secondTab + 1) != std::string_view::npos)
            refuse();
        Key key;
        std::string note;
        if (!unescapeField(line.substr(0, firstTab), key.first) ||
            !unescapeField(line.substr(firstTab + 1, secondTab - firstTab - 1), key.second) ||
            !unescapeField(line.substr(secondTab + 1), note) || key.first.empty() ||
            key.second.empty() || !isValidUtf8(note) || normalised(note) != note || note.empty())
            refuse();
        notes[std::move(key)] = std::move(note);
    }
    m_notes = std::move(notes);
}

bool ModNotes::isRefused() const
{
    return m_refused;
}

const fs::path &ModNotes::file() const
{
    return m_file;
}

ModNotes::Key ModNotes::keyOf(const ModRecord &record)
{
    const fs::path folder = record.modFolder();
    return {utf8FromPath(folder.parent_path().filename()), utf8FromPath(folder.filename())};
}

const std::string *ModNotes::noteOf(const Key &key) const
{
    const auto found = m_notes.find(key);
    return found == m_notes.end() ? nullptr : &found->second;
}

const std::string *ModNotes::noteOf(const ModRecord &record) const
{
    return m_notes.empty() ? nullptr : noteOf(keyOf(record));
}

void ModNotes::setNote(const Key &key, std::string note)
{
    if (m_refused)
        throw DataFileError(m_file, 0);
    note = normalised(std::move(note));
    std::map<Key, std::string> changed = m_notes;
    if (note.empty())
        changed.erase(key);
    else
        changed[key] = note;
    std::string text(kHeader);
    text += '\n';
    for (const auto &[noteKey, noteText] : changed)
        text += escapeField(noteKey.first) + '\t' + escapeField(noteKey.second) + '\t' +
                escapeField(noteText) + '\n';
    writeDataFile(m_file, text);
    m_notes = std::move(changed);
}

std::string ModNotes::normalised(std::string note)
{
    for (char &byte : note)
        if (byte == '\n' || byte == '\r' || byte == '\t')
            byte = ' ';
    const std::size_t first = note.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    note.erase(0, first);
    note.erase(note.find_last_not_of(' ') + 1);
    // Cut after kMaxLength characters, never inside one.
    std::size_t characters = 0;
    for (std::size_t at = 0; at < note.size(); ++at) {
        if ((static_cast<unsigned char>(note[at]) & 0xc0) == 0x80)
            continue;
        if (++characters > kMaxLength) {
            note.resize(at);
            note.erase(note.find_last_not_of(' ') + 1);
            break;
        }
    }
    return note;
}

fs::path notesFilePath()
{
    return fs::path("data") / "notes";
}
