#include "library/entryfile/FieldPatterns.h"

#include <re2/re2.h>

#include <algorithm>
#include <cstdint>
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

// The six ASCII white-space bytes: the space, and tab to carriage return.
bool isWhiteSpaceByte(char byte)
{
    return byte == ' ' || static_cast<unsigned char>(byte - '\t') <= '\r' - '\t';
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
        pattern.engine = std::make_shared<const RE2>(translatePatternText(text), options);
        if (!pattern.engine->ok() || pattern.engine->NumberOfCapturingGroups() < 1)
            throw std::invalid_argument("cannot compile pattern " + std::string(text) + ": " +
                                        pattern.engine->error());
        std::string literal = requiredLiteral(text);
        for (const Template &candidate : kTemplates) {
            if (!literal.empty() &&
                text.size() == candidate.before.size() + literal.size() + candidate.after.size() &&
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
FieldPatterns::FieldPatterns(const FieldPatterns &) = default;
FieldPatterns &FieldPatterns::operator=(const FieldPatterns &) = default;
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

namespace {

std::size_t skipWhiteSpace(std::string_view line, std::size_t i)
{
    while (i < line.size() && isWhiteSpaceByte(line[i]))
        ++i;
    return i;
}

bool takeByte(std::string_view line, std::size_t &i, char byte)
{
    if (i == line.size() || line[i] != byte)
        return false;
    ++i;
    return true;
}

// A quoted text at i, filled or possibly empty; its bytes go to `captured`.
bool takeQuoted(std::string_view line, std::size_t &i, bool filled, std::string_view &captured)
{
    if (!takeByte(line, i, '"'))
        return false;
    const std::size_t close = line.find('"', i);
    if (close == std::string_view::npos || (filled && close == i))
        return false;
    captured = line.substr(i, close - i);
    i = close + 1;
    return true;
}

bool takeDigits(std::string_view line, std::size_t &i)
{
    const std::size_t start = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        ++i;
    return i > start;
}

} // namespace

// The shape's pattern from just past its key at i.
bool FieldPatterns::matchAfterKey(Shape shape, std::string_view line, std::size_t i,
                                  std::string_view &captured)
{
    if (shape == Shape::Call) {
        i = skipWhiteSpace(line, i);
        if (!takeByte(line, i, '('))
            return false;
        i = skipWhiteSpace(line, i);
        return takeQuoted(line, i, false, captured);
    }
    // The boundary after the key, which ends with a word byte.
    if (i < line.size() && isWordByte(line[i]))
        return false;
    i = skipWhiteSpace(line, i);
    if (!takeByte(line, i, '='))
        return false;
    i = skipWhiteSpace(line, i);
    switch (shape) {
    case Shape::WrappedAssignment: {
        if (!takeByte(line, i, '_') || !takeByte(line, i, '('))
            return false;
        i = skipWhiteSpace(line, i);
        if (!takeQuoted(line, i, false, captured))
            return false;
        i = skipWhiteSpace(line, i);
        return takeByte(line, i, ')');
    }
    case Shape::FilledAssignment:
        return takeQuoted(line, i, true, captured);
    case Shape::DottedAssignment: {
        const std::size_t start = i;
        if (!(takeDigits(line, i) && takeByte(line, i, '.') && takeDigits(line, i) &&
              takeByte(line, i, '.') && takeDigits(line, i)))
            return false;
        captured = line.substr(start, i - start);
        return true;
    }
    default:
        return takeQuoted(line, i, false, captured);
    }
}

// Every step of a shape is forced (a blank run, a fixed byte, the bytes up to
// the next quote, a digit run), so one try per key position decides, and the
// leftmost key position that passes gives the leftmost match.
bool FieldPatterns::matchShape(const Pattern &pattern, std::string_view line,
                               std::string_view &value)
{
    const std::string_view key = pattern.key;
    if (pattern.shape != Shape::Assignment) {
        // Anchored: the key stands right after the leading blanks, where the
        // boundary before it holds.
        const std::size_t i = skipWhiteSpace(line, 0);
        return line.substr(i, key.size()) == key &&
               matchAfterKey(pattern.shape, line, i + key.size(), value);
    }
    for (std::size_t at = line.find(key); at != std::string_view::npos;
         at = line.find(key, at + 1)) {
        if (at > 0 && isWordByte(line[at - 1]))
            continue;
        if (matchAfterKey(pattern.shape, line, at + key.size(), value))
            return true;
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
    static const FieldPatterns compiled(kDeveloperNameTexts);
    return compiled;
}

FieldPatterns FieldPatterns::displayName()
{
    static const FieldPatterns compiled(kDisplayNameTexts);
    return compiled;
}

FieldPatterns FieldPatterns::shortName()
{
    static const FieldPatterns compiled(kShortNameTexts);
    return compiled;
}

FieldPatterns FieldPatterns::selfId()
{
    static const FieldPatterns compiled(kSelfIdTexts);
    return compiled;
}

FieldPatterns FieldPatterns::version()
{
    static const FieldPatterns compiled(kVersionTexts);
    return compiled;
}

bool isCommentLine(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && isWhiteSpaceByte(line[i]))
        ++i;
    return line.size() - i >= 2 && line[i] == '-' && line[i + 1] == '-';
}
