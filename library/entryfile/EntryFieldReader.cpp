#include "library/entryfile/EntryFieldReader.h"

#include "library/entryfile/BytePairSearch.h"
#include "library/platform/FileBytes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The text is searched a window at a time, so that the search for a list's
// keys ends soon after the list is decided rather than at the end of the file.
constexpr std::size_t kWindowSize = 4096;

} // namespace

EntryFieldReader::EntryFieldReader(std::span<const FieldPatterns *const> lists)
    : m_lists(lists), m_decided(lists.size()), m_holdsKey(lists.size())
{
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const std::vector<std::string> &texts = lists[i]->requiredTexts();
        m_keylessLists += texts.empty() ? 1 : 0;
        for (std::size_t k = 0; k < texts.size(); ++k)
            m_keys.push_back({texts[k], lists[i]->rareByteOffset(k), i});
    }
    const auto byteOf = [](const Key &key) { return key.text[key.rareOffset]; };
    std::sort(m_keys.begin(), m_keys.end(),
              [&](const Key &a, const Key &b) { return byteOf(a) < byteOf(b); });
    for (std::size_t k = 0; k < m_keys.size(); ++k) {
        if (m_searches.empty() || m_searches.back().byte != byteOf(m_keys[k]))
            m_searches.push_back({.byte = byteOf(m_keys[k]), .first = k, .last = k});
        m_searches.back().last = k + 1;
    }
    // Capitals are rare enough in entry files that one byte finds them fastest.
    // Otherwise the pair is the byte farthest from the searched one that every
    // key of the group holds at the same distance from it.
    for (ByteSearch &search : m_searches) {
        if (search.byte >= 'A' && search.byte <= 'Z')
            continue;
        const std::span<const Key> keys = group(search);
        std::ptrdiff_t before = PTRDIFF_MAX;
        std::ptrdiff_t after = PTRDIFF_MAX;
        for (const Key &key : keys) {
            before = std::min(before, static_cast<std::ptrdiff_t>(key.rareOffset));
            after =
                std::min(after, static_cast<std::ptrdiff_t>(key.text.size() - key.rareOffset) - 1);
        }
        const auto byteAt = [&](const Key &key, std::ptrdiff_t distance) {
            return key.text[static_cast<std::size_t>(static_cast<std::ptrdiff_t>(key.rareOffset) +
                                                     distance)];
        };
        const auto shared = [&](std::ptrdiff_t distance) {
            return std::all_of(keys.begin(), keys.end(), [&](const Key &key) {
                return byteAt(key, distance) == byteAt(keys.front(), distance);
            });
        };
        for (std::ptrdiff_t reach = std::max(before, after); reach > 0 && !search.paired; --reach) {
            for (const std::ptrdiff_t distance : {reach, -reach}) {
                if ((distance > 0 ? distance > after : -distance > before) || !shared(distance))
                    continue;
                search.paired = true;
                search.pairDistance = distance;
                search.pairByte = byteAt(keys.front(), distance);
                break;
            }
        }
    }
}

std::span<const EntryFieldReader::Key> EntryFieldReader::group(const ByteSearch &search) const
{
    return std::span(m_keys).subspan(search.first, search.last - search.first);
}

// Whether the key stands with its searched byte at `hit`, for an undecided list.
bool EntryFieldReader::keyAt(const Key &key, std::string_view text, std::size_t hit) const
{
    if (m_decided[key.list] || hit < key.rareOffset)
        return false;
    const std::size_t start = hit - key.rareOffset;
    // The first and last bytes are tested before the comparison: most hits of
    // a common searched byte fail there.
    return text.size() - start >= key.text.size() && text[start] == key.text.front() &&
           text[start + key.text.size() - 1] == key.text.back() &&
           std::memcmp(text.data() + start, key.text.data(), key.text.size()) == 0;
}

// Where the searched byte first stands in [from, to) inside a key of an
// undecided list. One sweep serves every key holding the byte: the three
// "...Name" keys share one, so the text is walked once for them, not three times.
std::size_t EntryFieldReader::findKey(const ByteSearch &search, std::string_view text,
                                      std::size_t from, std::size_t to) const
{
    const std::span<const Key> keys = group(search);
    if (std::all_of(keys.begin(), keys.end(), [&](const Key &key) { return m_decided[key.list]; }))
        return kNone;
    while (from < to) {
        std::size_t hit = kNone;
        if (search.paired) {
            hit = findBytePair(text, from, to, search.byte, search.pairByte, search.pairDistance);
        } else if (const void *found = std::memchr(text.data() + from, search.byte, to - from)) {
            hit = static_cast<std::size_t>(static_cast<const char *>(found) - text.data());
        }
        if (hit == kNone)
            return kNone;
        for (const Key &key : keys)
            if (keyAt(key, text, hit))
                return hit;
        from = hit + 1;
    }
    return kNone;
}

namespace {

// Kept between reads: a catalogue reads thousands of files one after another.
thread_local FileBytes t_file;

// The text of a file read whole; a line cut short by a failing read is not a line.
std::string_view completeLines(std::string_view text, bool complete)
{
    if (!complete) {
        const std::size_t lastFeed = text.rfind('\n');
        text = text.substr(0, lastFeed == kNone ? 0 : lastFeed + 1);
    }
    return text;
}

} // namespace

void EntryFieldReader::read(const std::filesystem::path &entryPath, std::span<std::string> values)
{
    const bool complete = m_lists.empty() || t_file.read(entryPath);
    read(t_file.view(), complete, values);
}

void EntryFieldReader::read(std::string_view bytes, bool complete, std::span<std::string> values)
{
    for (std::string &value : values.first(m_lists.size()))
        value.clear();
    if (!m_lists.empty())
        readText(completeLines(bytes, complete), values);
}

// One walk over the lines that hold a key of an undecided list; no pattern can
// match any other line.
void EntryFieldReader::readText(std::string_view text, std::span<std::string> values)
{
    std::fill(m_decided.begin(), m_decided.end(), 0);
    std::size_t keylessUndecided = m_keylessLists;
    std::size_t undecided = m_lists.size();
    for (std::size_t windowStart = 0; undecided > 0 && windowStart < text.size();) {
        // A window ends just past a line feed, so that each line lies in one window.
        const std::size_t lastFeed =
            text.find('\n', std::min(text.size(), windowStart + kWindowSize) - 1);
        const std::size_t windowEnd = lastFeed == kNone ? text.size() : lastFeed + 1;
        for (ByteSearch &search : m_searches)
            search.next = findKey(search, text, windowStart, windowEnd);
        std::size_t position = windowStart;
        while (undecided > 0 && position < windowEnd) {
            std::size_t hit = keylessUndecided > 0 ? position : kNone;
            for (const ByteSearch &search : m_searches)
                hit = std::min(hit, search.next);
            if (hit == kNone)
                break;
            const std::size_t previousFeed = hit == 0 ? kNone : text.rfind('\n', hit - 1);
            const std::size_t lineStart = previousFeed == kNone ? 0 : previousFeed + 1;
            std::size_t lineEnd = text.find('\n', hit);
            if (lineEnd == kNone)
                lineEnd = text.size();
            // A list is tried on the line only when one of its keys stands in it.
            for (const ByteSearch &search : m_searches)
                for (std::size_t at = search.next; at < lineEnd;
                     at = findKey(search, text, at + 1, lineEnd))
                    for (const Key &key : group(search))
                        if (keyAt(key, text, at))
                            m_holdsKey[key.list] = 1;
            const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
            const bool comment = isCommentLine(line);
            for (std::size_t i = 0; i < m_lists.size(); ++i) {
                const bool keyless = m_lists[i]->requiredTexts().empty();
                const bool tried = m_holdsKey[i] || (!m_decided[i] && keyless);
                m_holdsKey[i] = 0;
                std::string_view value;
                if (comment || !tried || !m_lists[i]->search(line, value))
                    continue;
                values[i].assign(value);
                m_decided[i] = 1;
                --undecided;
                keylessUndecided -= keyless ? 1 : 0;
            }
            position = lineEnd + 1;
            // Only now, so that keys of the lists just decided are not looked for.
            for (ByteSearch &search : m_searches)
                if (search.next < position)
                    search.next = findKey(search, text, position, windowEnd);
        }
        windowStart = windowEnd;
    }
}

void readEntryFields(const std::filesystem::path &entryPath,
                     std::span<const FieldPatterns *const> lists, std::span<std::string> values)
{
    EntryFieldReader(lists).read(entryPath, values);
}
