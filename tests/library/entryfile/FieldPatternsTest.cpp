#include "library/entryfile/EntryFieldReader.h"
#include "library/entryfile/FieldPatterns.h"

#include "library/catalogue/ModCatalogue.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <random>
#include <regex>

namespace {

enum Field
{
    SelfId,
    DisplayName,
    ShortName,
    DeveloperName,
    Version,
    FieldCount
};

const std::array<FieldPatterns, FieldCount> &allLists()
{
    static const std::array<FieldPatterns, FieldCount> lists = {
        FieldPatterns::selfId(), FieldPatterns::displayName(), FieldPatterns::shortName(),
        FieldPatterns::developerName(), FieldPatterns::version()};
    return lists;
}

// The reading done literally: a fresh text-mode read per field, std::regex on every line.
std::string referenceReadField(const std::filesystem::path &path, const FieldPatterns &list)
{
    std::vector<std::regex> patterns;
    for (const std::string &text : list.patternTexts())
        patterns.emplace_back(text, std::regex::ECMAScript);
    const std::regex comment(std::string(kCommentPatternText), std::regex::ECMAScript);
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (std::regex_search(line, comment))
            continue;
        for (const std::regex &pattern : patterns) {
            std::smatch match;
            if (std::regex_search(line, match, pattern))
                return match[1].str();
        }
    }
    return {};
}

std::array<std::string, FieldCount> readAll(const std::filesystem::path &path)
{
    std::array<const FieldPatterns *, FieldCount> lists;
    for (int i = 0; i < FieldCount; ++i)
        lists[i] = &allLists()[i];
    std::array<std::string, FieldCount> values;
    readEntryFields(path, lists, values);
    return values;
}

// Short lines assembled from the bytes and words the patterns care about.
class LineGenerator
{
public:
    explicit LineGenerator(unsigned seed) : m_random(seed) {}

    std::string line()
    {
        static const std::vector<std::string> tokens = {"self_ID",   "displayName",
                                                        "shortName", "developerName",
                                                        "version",   "declare_plugin",
                                                        "=",         "=",
                                                        "\"",        "\"",
                                                        "\"",        "_(",
                                                        "(",         ")",
                                                        "1",         "2.3",
                                                        ".",         "0.",
                                                        " ",         " ",
                                                        "\t",        "\v",
                                                        "\f",        "\r",
                                                        "\n",        "\x85",
                                                        "\xA0",      "\xEF\xBB\xBF",
                                                        "--",        "-",
                                                        "a",         "Z",
                                                        "_",         "x_",
                                                        "\\",        "\\\"",
                                                        ",",         "'",
                                                        "{",         "Self_ID",
                                                        "\xE9"};
        std::uniform_int_distribution<std::size_t> length(1, 12);
        std::uniform_int_distribution<std::size_t> pick(0, tokens.size() - 1);
        std::string result;
        for (std::size_t n = length(m_random); n > 0; --n)
            result += tokens[pick(m_random)];
        return result;
    }

    // A plausible assignment with one random change, so that matches are frequent.
    std::string nearMatch()
    {
        static const std::vector<std::string> templates = {
            "  self_ID = \"abc\",",     "displayName = _(\"Name\")",
            "\tshortName=\"S\"",        "developerName = _( \"Dev\" ) ",
            "version = \"1.0\"",        "version = 1.22.333",
            "declare_plugin(\"plug\",", "x = 1 -- displayName = \"c\"",
            " -- self_ID = \"c\"",      "declare_plugin(\"p\", { self_ID = \"q\" })",
            "version = 1.2.3.4",        "self_ID = _( \"w\" )",
            "developerName = \"D\"",    "shortName = _(\"\")"};
        std::string text = templates[std::uniform_int_distribution<std::size_t>(
            0, templates.size() - 1)(m_random)];
        const std::string insert = line().substr(0, 3);
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(m_random);
        switch (std::uniform_int_distribution<int>(0, 2)(m_random)) {
        case 0:
            text.insert(at, insert);
            break;
        case 1:
            text.erase(at, 1);
            break;
        default:
            break;
        }
        return text;
    }

    std::mt19937 &random()
    {
        return m_random;
    }

private:
    std::mt19937 m_random;
};

TEST(FieldPatternsTest, EveryPatternAgreesWithTheStandardEngineOnGeneratedLines)
{
    struct Compiled
    {
        std::string text;
        FieldPatterns fast;
        std::regex reference;
        int matches = 0;
    };
    std::vector<Compiled> patterns;
    for (const FieldPatterns &list : allLists())
        for (const std::string &text : list.patternTexts())
            patterns.push_back({text, FieldPatterns({text}), std::regex(text), 0});
    const std::regex comment{std::string(kCommentPatternText)};

    LineGenerator generator(20260607);
    int comments = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string line = i % 2 == 0 ? generator.line() : generator.nearMatch();
        const bool isComment = std::regex_search(line, comment);
        ASSERT_EQ(isCommentLine(line), isComment) << testing::PrintToString(line);
        comments += isComment;
        for (Compiled &pattern : patterns) {
            std::smatch expected;
            const bool expectedFound = std::regex_search(line, expected, pattern.reference);
            std::string_view value;
            const bool found = pattern.fast.search(line, value);
            ASSERT_EQ(found, expectedFound)
                << pattern.text << " on " << testing::PrintToString(line);
            if (found) {
                ASSERT_EQ(std::string(value), expected[1].str())
                    << pattern.text << " on " << testing::PrintToString(line);
                ++pattern.matches;
            }
        }
    }
    // The lines must exercise every pattern, or the agreement above proves little.
    EXPECT_GT(comments, 100);
    for (const Compiled &pattern : patterns)
        EXPECT_GT(pattern.matches, 100) << pattern.text;
}

TEST(FieldPatternsTest, OneReadingGivesTheValuesOfFiveLiteralReadings)
{
    TempDir folder;
    LineGenerator generator(7);
    const ModCatalogue catalogue{ModLibraryRoots{}};
    for (int fileIndex = 0; fileIndex < 300; ++fileIndex) {
        std::string content;
        // Some files are long enough that lines straddle the reader's chunks.
        const int lines = fileIndex % 10 == 0 ? 4000 : 1 + fileIndex % 25;
        for (int i = 0; i < lines; ++i) {
            const int kind = std::uniform_int_distribution<int>(0, 9)(generator.random());
            content += kind < 3   ? generator.nearMatch()
                       : kind < 6 ? generator.line()
                                  : std::string("  local filler = { 1, 2, 3 } -- plain text");
            content += i + 1 < lines || fileIndex % 3 ? "\n" : "";
        }
        const std::filesystem::path path = folder / ("entry" + std::to_string(fileIndex) + ".lua");
        writeFile(path, content);

        const std::array<std::string, FieldCount> values = readAll(path);
        for (int field = 0; field < FieldCount; ++field) {
            const std::string expected = referenceReadField(path, allLists()[field]);
            ASSERT_EQ(values[field], expected) << "file " << fileIndex << " field " << field;
            ASSERT_EQ(catalogue.readField(path, allLists()[field]), expected);
        }
    }
}

TEST(FieldPatternsTest, HugeLinesGiveTheRightValueWithoutCrashing)
{
    TempDir folder;
    const std::string longValue(1 << 20, 'v');
    const std::string blanks(1'000'000, ' ');
    struct Case
    {
        std::string content;
        Field field;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"self_ID = \"" + longValue + "\"\n", SelfId, longValue},
        {"declare_plugin(\"" + longValue + "\")", SelfId, longValue},
        {"version = \"" + longValue + "\"", Version, longValue},
        {"self_ID = \"" + longValue, SelfId, ""},
        {blanks + "\n", SelfId, ""},
        {blanks + "self_ID" + blanks + "=" + blanks + "\"id\"", SelfId, "id"},
        {blanks + "version = 1.2.3", Version, "1.2.3"},
        {blanks + "declare_plugin" + blanks + "(\"p\"", SelfId, "p"},
        {blanks + "--" + blanks + "self_ID = \"c\"\nself_ID = \"d\"", SelfId, "d"},
    };
    for (const Case &testCase : cases) {
        const std::filesystem::path path = folder / "entry.lua";
        writeFile(path, testCase.content);
        EXPECT_EQ(readAll(path)[testCase.field], testCase.expected);
    }
    std::string_view value;
    for (const FieldPatterns &list : allLists())
        EXPECT_FALSE(list.search(blanks, value));
}

struct LineCase
{
    const char *name;
    std::string content;
    Field field;
    std::string expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LineCase &value, std::ostream *out)
{
    *out << value.name;
}

class EntryFileLines : public testing::TestWithParam<LineCase>
{
};

TEST_P(EntryFileLines, GiveTheTabledValue)
{
    TempDir folder;
    const std::filesystem::path path = folder / "entry.lua";
    writeFile(path, GetParam().content);
    const ModCatalogue catalogue{ModLibraryRoots{}};
    EXPECT_EQ(catalogue.readField(path, allLists()[GetParam().field]), GetParam().expected);
    EXPECT_EQ(readAll(path)[GetParam().field], GetParam().expected);
    EXPECT_EQ(referenceReadField(path, allLists()[GetParam().field]), GetParam().expected);
}

const std::string kBom = "\xEF\xBB\xBF";

INSTANTIATE_TEST_SUITE_P(
    Reader, EntryFileLines,
    testing::Values(
        LineCase{"QuotedValueAfterIndent", "    displayName = \"Su-27 Flanker\",\n", DisplayName,
                 "Su-27 Flanker"},
        LineCase{"WrappedValue", "    displayName = _(\"Su-27 Flanker\"),\n", DisplayName,
                 "Su-27 Flanker"},
        LineCase{"WrappedWithBlanks", "developerName = _( \"Dev\" )", DeveloperName, "Dev"},
        LineCase{"BlankBetweenUnderscoreAndParenthesis", "shortName = _ (\"S\")", ShortName, ""},
        LineCase{"WrappedNotAtLineStart", "x = { developerName = _(\"d\") }", DeveloperName, ""},
        LineCase{"SelfIdBesideDeclarePlugin", "declare_plugin(\"Decl\", { self_ID = \"Own\" })",
                 SelfId, "Own"},
        LineCase{"DeclarePluginAboveSelfId", "declare_plugin(\"Decl\",\n{\nself_ID = \"Own\",",
                 SelfId, "Decl"},
        LineCase{"DeclarePluginWithBlanks", "  declare_plugin \t( \"Decl\"", SelfId, "Decl"},
        LineCase{"PlainFormBeforeWrappedOnOneLine", "self_ID = _(\"a\") self_ID = \"b\"", SelfId,
                 "b"},
        LineCase{"QuotedVersion", "version = \"1.2\"", Version, "1.2"},
        LineCase{"DottedVersion", "version = 1.2.3,", Version, "1.2.3"},
        LineCase{"FourGroupVersion", "version = 1.2.3.4", Version, "1.2.3"},
        LineCase{"TwoGroupVersionIsPassedOver", "version = 1.2\nversion = \"9\"", Version, "9"},
        LineCase{"EmptyQuotedVersionIsPassedOver", "version = \"\"\nversion = 2.0.1", Version,
                 "2.0.1"},
        LineCase{"VersionNotAtLineStart", "x = 1 version = \"1\"", Version, ""},
        LineCase{"CommentLineSkipped", "  -- self_ID = \"c\"\nself_ID = \"real\"", SelfId, "real"},
        LineCase{"CommentAfterCode", "x = 1 -- self_ID = \"c\"", SelfId, "c"},
        LineCase{"AnchoredFieldInCommentAfterCode", "x = 1 -- version = \"1\"", Version, ""},
        LineCase{"MultiLineCommentBody", "--[[\nself_ID = \"inside\"\n]]", SelfId, "inside"},
        LineCase{"OtherLetterCase", "Self_ID = \"a\"", SelfId, ""},
        LineCase{"KeyInsideLongerWord", "myself_ID = \"a\"\nself_IDs = \"b\"", SelfId, ""},
        LineCase{"KeyAfterDot", "plugin.self_ID=\"a\"", SelfId, "a"},
        LineCase{"NoBlanksAroundEquals", "shortName=\"S\"", ShortName, "S"},
        LineCase{"ManyBlanksAroundEquals", "shortName \t  =  \t \"S\"", ShortName, "S"},
        LineCase{"SingleQuotes", "self_ID = 'a'", SelfId, ""},
        LineCase{"BackslashBeforeQuote", "displayName = \"a\\\"b\"", DisplayName, "a\\"},
        LineCase{"ByteOrderMarkBlocksAnchored", kBom + "version = \"1\"", Version, ""},
        LineCase{"ByteOrderMarkBlocksDeclarePlugin", kBom + "declare_plugin(\"p\")", SelfId, ""},
        LineCase{"ByteOrderMarkKeepsUnanchored", kBom + "self_ID = \"a\"", SelfId, "a"},
        LineCase{"ByteOrderMarkIsNoComment", kBom + "-- self_ID = \"c\"", SelfId, "c"},
        LineCase{"VerticalTabIsWhiteSpace", "\v-- self_ID = \"c\"\n\vversion\v=\v1.0.0", Version,
                 "1.0.0"},
        LineCase{"NoBreakSpaceIsNoWhiteSpace", "\xA0version = \"1\"", Version, ""},
        LineCase{"HighByteIsNoWordByte", "\xE9self_ID = \"a\"", SelfId, "a"},
        LineCase{"CarriageReturns", "self_ID = \"a\"\r\nversion = 1.2.3\r\n", Version, "1.2.3"},
        LineCase{"Utf8Value", "displayName = \"Полёт 飞行\"", DisplayName, "Полёт 飞行"},
        LineCase{"EmptyFirstSelfIdDecides", "self_ID = \"\"\nself_ID = \"b\"", SelfId, ""},
        LineCase{"EmptyWrappedValueDecides", "shortName = _(\"\")\nshortName = \"b\"", ShortName,
                 ""},
        LineCase{"NestedTableCounts", "f = function()\n  if x then t = { self_ID = \"n\" } end",
                 SelfId, "n"},
        LineCase{"EmptyFile", "", SelfId, ""},
        LineCase{"Utf16File", std::string("\xFF\xFEs\0e\0l\0f\0_\0I\0D\0=\0\"\0a\0\"\0", 24),
                 SelfId, ""}),
    [](const testing::TestParamInfo<LineCase> &info) { return std::string(info.param.name); });

TEST(FieldPatternsTest, UnreadableEntryFilesGiveEmptyValues)
{
    TempDir folder;
    std::filesystem::create_directories(folder / "folder" / "entry.lua");
    const ModCatalogue catalogue{ModLibraryRoots{}};
    for (const std::filesystem::path &path :
         {folder / "missing.lua", folder / "folder" / "entry.lua"})
        for (const std::string &value : readAll(path))
            EXPECT_EQ(value, "") << path;
    EXPECT_EQ(catalogue.readField(folder / "missing.lua", catalogue.selfIdPatterns()), "");
}

TEST(FieldPatternsTest, WhiteSpaceEscapeBecomesTheSixAsciiBytes)
{
    EXPECT_EQ(translatePatternText(R"(^\s*-\\s[\s,])"), R"(^[\t\n\x0B\f\r ]*-\\s[\t\n\x0B\f\r ,])");
}

TEST(FieldPatternsTest, RequiredLiteralIsWhatEveryMatchContains)
{
    EXPECT_EQ(requiredLiteral(R"(^\s*\bself_ID\b\s*=)"), "self_ID");
    EXPECT_EQ(requiredLiteral(R"(^\s*declare_plugin\s*\(\s*\"([^\"]*)\")"), "declare_plugin");
    EXPECT_EQ(requiredLiteral(R"(abcd?)"), "abc");
    EXPECT_EQ(requiredLiteral(R"((longword)?ab)"), "ab");
    EXPECT_EQ(requiredLiteral(R"([longword]ab)"), "ab");
    EXPECT_EQ(requiredLiteral(R"(abc|d)"), "");
    EXPECT_EQ(requiredLiteral(R"(^\s*--)"), "");
}

} // namespace
