// Bytes in as an entry file, the five values out; checked against a plain
// line-by-line search with the same lists, against RE2 running the patterns
// themselves (the lists match the usual shapes by hand) and, on short lines,
// against std::regex as the reference for the ECMAScript patterns.

#include "fuzz/FuzzCheck.h"
#include "library/entryfile/EntryFieldReader.h"
#include "library/entryfile/FieldPatterns.h"

#include <re2/re2.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <memory>
#include <regex>

namespace {

struct Lists
{
    std::array<FieldPatterns, 5> lists{FieldPatterns::selfId(), FieldPatterns::displayName(),
                                       FieldPatterns::shortName(), FieldPatterns::developerName(),
                                       FieldPatterns::version()};
    std::array<const FieldPatterns *, 5> pointers{&lists[0], &lists[1], &lists[2], &lists[3],
                                                  &lists[4]};
    std::regex comment{std::string(kCommentPatternText), std::regex::ECMAScript};
    std::array<std::vector<std::regex>, 5> references;
    std::array<std::vector<std::unique_ptr<RE2>>, 5> engines;

    Lists()
    {
        RE2::Options options;
        options.set_encoding(RE2::Options::EncodingLatin1);
        options.set_case_sensitive(true);
        for (std::size_t i = 0; i < lists.size(); ++i) {
            for (const std::string &text : lists[i].patternTexts()) {
                references[i].emplace_back(text, std::regex::ECMAScript);
                engines[i].push_back(std::make_unique<RE2>(translatePatternText(text), options));
            }
        }
    }
};

// std::regex recurses per byte; longer lines would overflow the stack.
constexpr std::size_t kReferenceLineLimit = 300;

std::string searchLines(const std::vector<std::string_view> &lines, const FieldPatterns &list)
{
    for (const std::string_view line : lines) {
        std::string_view value;
        if (!isCommentLine(line) && list.search(line, value))
            return std::string(value);
    }
    return {};
}

std::string engineSearch(const std::vector<std::string_view> &lines,
                         const std::vector<std::unique_ptr<RE2>> &patterns)
{
    for (const std::string_view line : lines) {
        if (isCommentLine(line))
            continue;
        for (const auto &pattern : patterns) {
            re2::StringPiece groups[2];
            if (pattern->Match(re2::StringPiece(line.data(), line.size()), 0, line.size(),
                               RE2::UNANCHORED, groups, 2))
                return std::string(groups[1].data(), groups[1].size());
        }
    }
    return {};
}

std::string referenceSearch(const std::vector<std::string_view> &lines, const std::regex &comment,
                            const std::vector<std::regex> &patterns)
{
    for (const std::string_view line : lines) {
        if (std::regex_search(line.begin(), line.end(), comment))
            continue;
        for (const std::regex &pattern : patterns) {
            std::match_results<std::string_view::const_iterator> match;
            if (std::regex_search(line.begin(), line.end(), match, pattern))
                return match[1].str();
        }
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const Lists lists;
    static const std::filesystem::path entry = fuzzScratchFolder() / "entry.lua";
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    {
        std::ofstream out(entry, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::array<std::string, 5> values;
    readEntryFields(entry, lists.pointers, values);

    const std::vector<std::string_view> lines = splitLines(bytes);
    bool shortLines = true;
    for (const std::string_view line : lines)
        shortLines = shortLines && line.size() <= kReferenceLineLimit;
    for (std::size_t i = 0; i < values.size(); ++i) {
        fuzzCheck(values[i] == searchLines(lines, lists.lists[i]),
                  "one reading gives what a search of every line gives");
        fuzzCheck(values[i] == engineSearch(lines, lists.engines[i]),
                  "the shapes matched by hand agree with RE2");
        if (shortLines)
            fuzzCheck(values[i] == referenceSearch(lines, lists.comment, lists.references[i]),
                      "RE2 agrees with std::regex");
    }
    return 0;
}
