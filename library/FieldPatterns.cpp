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
    RE2::Options options;
    options.set_encoding(RE2::Options::EncodingLatin1);
    options.set_case_sensitive(true);
    options.set_log_errors(false);
    bool everyLineMayMatch = false;
    for (const std::string_view text : patternTexts) {
        auto pattern = std::make_unique<RE2>(translatePatternText(text), options);
        if (!pattern->ok() || pattern->NumberOfCapturingGroups() < 1)
            throw std::invalid_argument("cannot compile pattern " + std::string(text) + ": " +
                                        pattern->error());
        m_texts.emplace_back(text);
        m_patterns.push_back(std::move(pattern));
        std::string literal = requiredLiteral(text);
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
    const re2::StringPiece text(line.data(), line.size());
    for (const auto &pattern : m_patterns) {
        re2::StringPiece groups[2];
        if (!pattern->Match(text, 0, text.size(), RE2::UNANCHORED, groups, 2))
            continue;
        value = std::string_view(groups[1].data(), groups[1].size());
        return true;
    }
    return false;
}

const std::vector<std::string> &FieldPatterns::requiredTexts() const
{
    return m_requiredTexts;
}

std::size_t FieldPatterns::findRequiredText(std::size_t index, std::string_view text,
                                            std::size_t from) const
{
    // memchr on the key's rarest byte skips comment blocks many bytes a step,
    // where a search led by the key's first byte stops at every common letter.
    const std::string &key = m_requiredTexts[index];
    const std::size_t rare = m_rareOffsets[index];
    const std::size_t length = key.size();
    if (from > text.size() || text.size() - from < length)
        return std::string_view::npos;
    const std::size_t lastStart = text.size() - length;
    for (std::size_t start = from; start <= lastStart;) {
        const void *hit = std::memchr(text.data() + start + rare, key[rare], lastStart - start + 1);
        if (hit == nullptr)
            return std::string_view::npos;
        start = static_cast<std::size_t>(static_cast<const char *>(hit) - text.data()) - rare;
        if (std::memcmp(text.data() + start, key.data(), length) == 0)
            return start;
        ++start;
    }
    return std::string_view::npos;
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

// One undecided list, and where its key texts next occur in the text.
struct FieldSearch
{
    const FieldPatterns *patterns = nullptr;
    std::string *value = nullptr;
    std::vector<std::size_t> nextHit;
};

// Looks for the earliest deciding line of the field. Only lines holding a key
// text are tried: no pattern can match the others.
void searchLines(FieldSearch &field, std::string_view text)
{
    const std::vector<std::string> &keys = field.patterns->requiredTexts();
    for (std::size_t k = 0; k < keys.size(); ++k)
        field.nextHit[k] = field.patterns->findRequiredText(k, text, 0);
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t hit = keys.empty() ? position : kNone;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (field.nextHit[k] != kNone && field.nextHit[k] < position)
                field.nextHit[k] = field.patterns->findRequiredText(k, text, position);
            hit = std::min(hit, field.nextHit[k]);
        }
        if (hit == kNone)
            return;
        const std::size_t previousFeed = hit == 0 ? kNone : text.rfind('\n', hit - 1);
        const std::size_t lineStart = previousFeed == kNone ? 0 : previousFeed + 1;
        std::size_t lineEnd = text.find('\n', hit);
        if (lineEnd == kNone)
            lineEnd = text.size();
        const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        std::string_view value;
        if (!isCommentLine(line) && field.patterns->search(line, value)) {
            field.value->assign(value);
            return;
        }
        position = lineEnd + 1;
    }
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
    for (std::size_t i = 0; i < lists.size(); ++i) {
        FieldSearch field{lists[i], &values[i], {}};
        field.nextHit.resize(lists[i]->requiredTexts().size());
        searchLines(field, text);
    }
}
