#include "FieldPatterns.h"

#include "FileBytes.h"

#include <re2/re2.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

// The pattern texts in their ECMAScript spelling; the constructor adapts them
// for RE2 through translatePatternText.
const std::vector<std::string_view> kDeveloperNameTexts = {
    R"re(\s*\bdeveloperName\b\s*=\s*\"([^\"]*)\")re",
    R"re(^\s*\bdeveloperName\b\s*=\s*_\(\s*\"([^\"]*)\"\s*\))re",
};
const std::vector<std::string_view> kDisplayNameTexts = {
    R"re(\s*\bdisplayName\b\s*=\s*\"([^\"]*)\")re",
    R"re(^\s*\bdisplayName\b\s*=\s*_\(\s*\"([^\"]*)\"\s*\))re",
};
const std::vector<std::string_view> kShortNameTexts = {
    R"re(\s*\bshortName\b\s*=\s*\"([^\"]*)\")re",
    R"re(^\s*\bshortName\b\s*=\s*_\(\s*\"([^\"]*)\"\s*\))re",
};
const std::vector<std::string_view> kSelfIdTexts = {
    R"re(\s*\bself_ID\b\s*=\s*\"([^\"]*)\")re",
    R"re(^\s*\bself_ID\b\s*=\s*_\(\s*\"([^\"]*)\"\s*\))re",
    R"re(^\s*declare_plugin\s*\(\s*\"([^\"]*)\")re",
};
const std::vector<std::string_view> kVersionTexts = {
    R"re(^\s*\bversion\b\s*=\s*\"([^\"]+)\")re",
    R"re(^\s*\bversion\b\s*=\s*([0-9]+\.[0-9]+\.[0-9]+))re",
};

bool isWhiteSpaceByte(char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' ||
           byte == '\r';
}

bool isWordByte(char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= '0' && byte <= '9') || byte == '_';
}

// Index just past the bracket class that opens at `open`.
std::size_t skipClass(std::string_view text, std::size_t open)
{
    std::size_t i = open + 1;
    if (i < text.size() && text[i] == '^')
        ++i;
    if (i < text.size() && text[i] == ']')
        ++i;
    while (i < text.size() && text[i] != ']')
        i += text[i] == '\\' ? 2 : 1;
    return std::min(i + 1, text.size());
}

// Where the key's least common byte in Lua text stands: capitals and the
// underscore first, then lower-case letters by how rare they are in English.
std::size_t rarestByteOffset(std::string_view key)
{
    const auto rarity = [](char byte) {
        static constexpr std::string_view kLowerCaseByFrequency = "etaoinsrhldcumfpgwybvkxjqz";
        if (byte >= 'A' && byte <= 'Z')
            return 30;
        if (byte == '_')
            return 20;
        const std::size_t rank = kLowerCaseByFrequency.find(byte);
        return rank == std::string_view::npos ? 10 : static_cast<int>(rank);
    };
    std::size_t offset = 0;
    for (std::size_t i = 1; i < key.size(); ++i)
        if (rarity(key[i]) > rarity(key[offset]))
            offset = i;
    return offset;
}

} // namespace

const std::string_view kCommentPatternText = R"re(^\s*--)re";

std::string translatePatternText(std::string_view text)
{
    static constexpr std::string_view kWhiteSpace = R"(\t\n\x0B\f\r )";
    std::string result;
    result.reserve(text.size() + 32);
    bool inClass = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char byte = text[i];
        if (byte == '\\' && i + 1 < text.size()) {
            const char escaped = text[++i];
            if (escaped == 's') {
                if (inClass)
                    result += kWhiteSpace;
                else
                    (result += '[', result += kWhiteSpace, result += ']');
            } else if (escaped == 'S') {
                if (inClass)
                    throw std::invalid_argument("\\S inside a class is not supported");
                (result += "[^", result += kWhiteSpace, result += ']');
            } else {
                (result += '\\', result += escaped);
            }
            continue;
        }
        if (byte == '[' && !inClass) {
            inClass = true;
            result += byte;
            if (i + 1 < text.size() && text[i + 1] == '^')
                result += text[++i];
            if (i + 1 < text.size() && text[i + 1] == ']')
                result += text[++i];
            continue;
        }
        if (byte == ']' && inClass)
            inClass = false;
        result += byte;
    }
    return result;
}

std::string requiredLiteral(std::string_view text)
{
    std::string best;
    std::string run;
    int depth = 0;
    const auto endRun = [&] {
        if (run.size() > best.size())
            best = run;
        run.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        const char byte = text[i];
        if (byte == '|')
            return {};
        if (byte == '\\') {
            endRun();
            i += 2;
        } else if (byte == '[') {
            endRun();
            i = skipClass(text, i);
        } else if (byte == '(' || byte == ')') {
            endRun();
            depth += byte == '(' ? 1 : -1;
            ++i;
        } else if (byte == '*' || byte == '?' || byte == '{') {
            // The atom before may be absent.
            if (!run.empty())
                run.pop_back();
            endRun();
            ++i;
        } else if (byte == '+') {
            endRun();
            ++i;
        } else if (depth == 0 && isWordByte(byte)) {
            run += byte;
            ++i;
        } else {
            endRun();
            ++i;
        }
    }
    endRun();
    return best;
}

FieldPatterns::FieldPatterns(const std::vector<std::string_view> &patternTexts)
{
    // Each shape's text around its key, as written in the lists above.
    struct Template
    {
        Shape shape;
        std::string_view before;
        std::string_view after;
    };
    static constexpr Template kTemplates[] = {
        {Shape::Assignment, R"re(\s*\b)re", R"re(\b\s*=\s*\"([^\"]*)\")re"},
        {Shape::WrappedAssignment, R"re(^\s*\b)re", R"re(\b\s*=\s*_\(\s*\"([^\"]*)\"\s*\))re"},
        {Shape::Call, R"re(^\s*)re", R"re(\s*\(\s*\"([^\"]*)\")re"},
        {Shape::FilledAssignment, R"re(^\s*\b)re", R"re(\b\s*=\s*\"([^\"]+)\")re"},
        {Shape::DottedAssignment, R"re(^\s*\b)re", R"re(\b\s*=\s*([0-9]+\.[0-9]+\.[0-9]+))re"},
    };
    RE2::Options options;
    options.set_encoding(RE2::Options::EncodingLatin1);
    options.set_case_sensitive(true);
    options.set_log_errors(false);
    bool everyLineMayMatch = false;
    for (const std::string_view text : patternTexts) {
        Pattern pattern;
        pattern.engine = std::make_unique<RE2>(translatePatternText(text), options);
        if (!pattern.engine->ok() || pattern.engine->NumberOfCapturingGroups() < 1)
            throw std::invalid_argument("cannot compile pattern " + std::string(text) + ": " +
                                        pattern.engine->error());
        std::string literal = requiredLiteral(text);
        for (const Template &candidate : kTemplates) {
            if (!literal.empty() && text.size() == candidate.before.size() + literal.size() +
                                                       candidate.after.size() &&
                text.starts_with(candidate.before) && text.ends_with(candidate.after) &&
                text.substr(candidate.before.size(), literal.size()) == literal) {
                pattern.shape = candidate.shape;
                pattern.key = literal;
                break;
            }
        }
        m_texts.emplace_back(text);
        m_patterns.push_back(std::move(pattern));
        if (literal.empty())
            everyLineMayMatch = true;
        else if (std::find(m_requiredTexts.begin(), m_requiredTexts.end(), literal) ==
                 m_requiredTexts.end())
            m_requiredTexts.push_back(std::move(literal));
    }
    if (everyLineMayMatch)
        m_requiredTexts.clear();
    for (const std::string &key : m_requiredTexts)
        m_rareOffsets.push_back(rarestByteOffset(key));
}

FieldPatterns::~FieldPatterns() = default;
FieldPatterns::FieldPatterns(FieldPatterns &&) noexcept = default;
FieldPatterns &FieldPatterns::operator=(FieldPatterns &&) noexcept = default;

bool FieldPatterns::search(std::string_view line, std::string_view &value) const
{
    for (const Pattern &pattern : m_patterns) {
        if (pattern.shape != Shape::Other) {
            if (matchShape(pattern, line, value))
                return true;
            continue;
        }
        const re2::StringPiece text(line.data(), line.size());
        re2::StringPiece groups[2];
        if (!pattern.engine->Match(text, 0, text.size(), RE2::UNANCHORED, groups, 2))
            continue;
        value = std::string_view(groups[1].data(), groups[1].size());
        return true;
    }
    return false;
}

// Every step of a shape is forced (a blank run, a fixed byte, the bytes up to
// the next quote, a digit run), so one try per key position decides, and the
// leftmost key position that passes gives the leftmost match.
bool FieldPatterns::matchShape(const Pattern &pattern, std::string_view line,
                               std::string_view &value)
{
    const std::string_view key = pattern.key;
    std::size_t i = 0;
    std::string_view captured;
    const auto skipBlanks = [&] {
        while (i < line.size() && isWhiteSpaceByte(line[i]))
            ++i;
        return true;
    };
    const auto take = [&](char byte) {
        if (i == line.size() || line[i] != byte)
            return false;
        ++i;
        return true;
    };
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9')
            ++i;
        return i > start;
    };
    const auto quoted = [&](bool filled) {
        if (!take('"'))
            return false;
        const std::size_t close = line.find('"', i);
        if (close == std::string_view::npos || (filled && close == i))
            return false;
        captured = line.substr(i, close - i);
        i = close + 1;
        return true;
    };
    // The pattern from just past the key.
    const auto rest = [&] {
        if (pattern.shape == Shape::Call)
            return skipBlanks() && take('(') && skipBlanks() && quoted(false);
        // The boundary after the key, which ends with a word byte.
        if (i < line.size() && isWordByte(line[i]))
            return false;
        if (!(skipBlanks() && take('=') && skipBlanks()))
            return false;
        switch (pattern.shape) {
        case Shape::WrappedAssignment:
            return take('_') && take('(') && skipBlanks() && quoted(false) && skipBlanks() &&
                   take(')');
        case Shape::FilledAssignment:
            return quoted(true);
        case Shape::DottedAssignment: {
            const std::size_t start = i;
            if (!(digits() && take('.') && digits() && take('.') && digits()))
                return false;
            captured = line.substr(start, i - start);
            return true;
        }
        default:
            return quoted(false);
        }
    };
    if (pattern.shape != Shape::Assignment) {
        // Anchored: the key stands right after the leading blanks, where the
        // boundary before it holds.
        skipBlanks();
        if (line.substr(i, key.size()) != key)
            return false;
        i += key.size();
        if (!rest())
            return false;
        value = captured;
        return true;
    }
    for (std::size_t at = line.find(key); at != std::string_view::npos;
         at = line.find(key, at + 1)) {
        if (at > 0 && isWordByte(line[at - 1]))
            continue;
        i = at + key.size();
        if (rest()) {
            value = captured;
            return true;
        }
    }
    return false;
}

const std::vector<std::string> &FieldPatterns::requiredTexts() const
{
    return m_requiredTexts;
}

std::size_t FieldPatterns::rareByteOffset(std::size_t index) const
{
    return m_rareOffsets[index];
}

const std::vector<std::string> &FieldPatterns::patternTexts() const
{
    return m_texts;
}

FieldPatterns FieldPatterns::developerName()
{
    return FieldPatterns(kDeveloperNameTexts);
}

FieldPatterns FieldPatterns::displayName()
{
    return FieldPatterns(kDisplayNameTexts);
}

FieldPatterns FieldPatterns::shortName()
{
    return FieldPatterns(kShortNameTexts);
}

FieldPatterns FieldPatterns::selfId()
{
    return FieldPatterns(kSelfIdTexts);
}

FieldPatterns FieldPatterns::version()
{
    return FieldPatterns(kVersionTexts);
}

bool isCommentLine(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && isWhiteSpaceByte(line[i]))
        ++i;
    return line.size() - i >= 2 && line[i] == '-' && line[i + 1] == '-';
}

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// A key text of one list, found by looking for its least common byte.
struct Key
{
    std::string_view text;
    std::size_t rareOffset = 0;
    std::size_t list = 0;
};

// The keys that share a searched byte, keys[first, last), and where that byte
// next stands inside one of them whose list is undecided.
struct ByteSearch
{
    char byte = 0;
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t next = 0;
};

// Whether the key stands with its searched byte at `hit`, for an undecided list.
bool keyAt(const Key &key, std::span<const char> decided, std::string_view text, std::size_t hit)
{
    if (decided[key.list] || hit < key.rareOffset)
        return false;
    const std::size_t start = hit - key.rareOffset;
    // The first and last bytes are tested before the comparison: most hits of
    // a common searched byte fail there.
    return text.size() - start >= key.text.size() && text[start] == key.text.front() &&
           text[start + key.text.size() - 1] == key.text.back() &&
           std::memcmp(text.data() + start, key.text.data(), key.text.size()) == 0;
}

// Where the searched byte first stands in [from, to) inside a key of an
// undecided list. One memchr run serves every key holding the byte: the three
// "...Name" keys share one, so the text is walked once for them, not three times.
std::size_t findKey(const ByteSearch &search, std::span<const Key> keys,
                    std::span<const char> decided, std::string_view text, std::size_t from,
                    std::size_t to)
{
    const auto group = keys.subspan(search.first, search.last - search.first);
    if (std::all_of(group.begin(), group.end(), [&](const Key &key) { return decided[key.list]; }))
        return kNone;
    while (from < to) {
        const void *found = std::memchr(text.data() + from, search.byte, to - from);
        if (found == nullptr)
            return kNone;
        const std::size_t hit = static_cast<std::size_t>(static_cast<const char *>(found) - text.data());
        for (const Key &key : group)
            if (keyAt(key, decided, text, hit))
                return hit;
        from = hit + 1;
    }
    return kNone;
}

} // namespace

void readEntryFields(const std::filesystem::path &entryPath,
                     std::span<const FieldPatterns *const> lists, std::span<std::string> values)
{
    for (std::string &value : values.first(lists.size()))
        value.clear();
    if (lists.empty())
        return;
    // Kept between reads: a catalogue reads thousands of files one after another.
    thread_local FileBytes file;
    const bool complete = file.read(entryPath);
    std::string_view text = file.view();
    if (!complete) {
        // A line cut short by a failing read is not a line.
        const std::size_t lastFeed = text.rfind('\n');
        text = text.substr(0, lastFeed == kNone ? 0 : lastFeed + 1);
    }
    // One walk over the lines that hold a key of an undecided list; no pattern
    // can match any other line. Kept between reads, like the file's bytes.
    thread_local std::vector<Key> keys;
    thread_local std::vector<ByteSearch> searches;
    thread_local std::vector<char> decided;
    keys.clear();
    searches.clear();
    decided.assign(lists.size(), 0);
    std::size_t keylessUndecided = 0;
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const std::vector<std::string> &texts = lists[i]->requiredTexts();
        keylessUndecided += texts.empty() ? 1 : 0;
        for (std::size_t k = 0; k < texts.size(); ++k)
            keys.push_back({texts[k], lists[i]->rareByteOffset(k), i});
    }
    const auto byteOf = [](const Key &key) { return key.text[key.rareOffset]; };
    std::sort(keys.begin(), keys.end(),
              [&](const Key &a, const Key &b) { return byteOf(a) < byteOf(b); });
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (searches.empty() || searches.back().byte != byteOf(keys[k]))
            searches.push_back({byteOf(keys[k]), k, k, 0});
        searches.back().last = k + 1;
    }
    for (ByteSearch &search : searches)
        search.next = findKey(search, keys, decided, text, 0, text.size());

    // A list is tried on a line only when one of its keys stands in it.
    thread_local std::vector<char> holdsKey;
    holdsKey.assign(lists.size(), 0);
    std::size_t undecided = lists.size();
    std::size_t position = 0;
    while (undecided > 0 && position < text.size()) {
        std::size_t hit = keylessUndecided > 0 ? position : kNone;
        for (const ByteSearch &search : searches)
            hit = std::min(hit, search.next);
        if (hit == kNone)
            return;
        const std::size_t previousFeed = hit == 0 ? kNone : text.rfind('\n', hit - 1);
        const std::size_t lineStart = previousFeed == kNone ? 0 : previousFeed + 1;
        std::size_t lineEnd = text.find('\n', hit);
        if (lineEnd == kNone)
            lineEnd = text.size();
        for (const ByteSearch &search : searches) {
            const auto group = std::span(keys).subspan(search.first, search.last - search.first);
            for (std::size_t at = search.next; at < lineEnd;
                 at = findKey(search, keys, decided, text, at + 1, lineEnd))
                for (const Key &key : group)
                    if (keyAt(key, decided, text, at))
                        holdsKey[key.list] = 1;
        }
        const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        const bool comment = isCommentLine(line);
        for (std::size_t i = 0; i < lists.size(); ++i) {
            const bool tried = holdsKey[i] || (!decided[i] && lists[i]->requiredTexts().empty());
            holdsKey[i] = 0;
            std::string_view value;
            if (comment || !tried || !lists[i]->search(line, value))
                continue;
            values[i].assign(value);
            decided[i] = 1;
            --undecided;
            keylessUndecided -= lists[i]->requiredTexts().empty() ? 1 : 0;
        }
        position = lineEnd + 1;
        // Only now, so that keys of the lists just decided are not looked for.
        for (ByteSearch &search : searches)
            if (search.next < position)
                search.next = findKey(search, keys, decided, text, position, text.size());
    }
}
