#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace re2 {
class RE2;
}

// The ordered, compiled patterns of one entry-file field; the first capture
// group of the first pattern that matches a line is the value.
class FieldPatterns
{
public:
    // The texts use the ECMAScript spelling; they are compiled for a linear-time
    // engine working on bytes. Throws std::invalid_argument for a text it cannot compile.
    explicit FieldPatterns(const std::vector<std::string_view> &patternTexts);
    ~FieldPatterns();
    // Copies share the compiled engines, which are never changed after compiling.
    FieldPatterns(const FieldPatterns &);
    FieldPatterns &operator=(const FieldPatterns &);
    FieldPatterns(FieldPatterns &&) noexcept;
    FieldPatterns &operator=(FieldPatterns &&) noexcept;

    // Tries the patterns in order on one line (without its line feed). On the
    // first match stores its first capture group in `value` and returns true.
    bool search(std::string_view line, std::string_view &value) const;

    // A line lacking every one of these texts cannot match; empty when any
    // line might match.
    const std::vector<std::string> &requiredTexts() const;
    // Where the least common byte of required text `index` stands in it: the
    // byte a search for that text looks for first.
    std::size_t rareByteOffset(std::size_t index) const;

    // The texts the list was built from, in order.
    const std::vector<std::string> &patternTexts() const;

    // The five lists of an entry file, with the pattern texts of the game's
    // files; each is compiled once per run and copied from then on.
    static FieldPatterns developerName();
    static FieldPatterns displayName();
    static FieldPatterns shortName();
    static FieldPatterns selfId();
    static FieldPatterns version();

private:
    // The shapes of the game's patterns, which a few lines of byte tests match
    // exactly and far faster than the engine; any other text uses the engine.
    enum class Shape
    {
        Other,
        Assignment,        // \s*\bKEY\b\s*=\s*\"([^\"]*)\"
        WrappedAssignment, // ^\s*\bKEY\b\s*=\s*_\(\s*\"([^\"]*)\"\s*\)
        Call,              // ^\s*KEY\s*\(\s*\"([^\"]*)\"
        FilledAssignment,  // ^\s*\bKEY\b\s*=\s*\"([^\"]+)\"
        DottedAssignment,  // ^\s*\bKEY\b\s*=\s*([0-9]+\.[0-9]+\.[0-9]+)
    };
    struct Pattern
    {
        std::shared_ptr<const re2::RE2> engine;
        Shape shape = Shape::Other;
        std::string key;
    };
    static bool matchShape(const Pattern &pattern, std::string_view line, std::string_view &value);
    static bool matchAfterKey(Shape shape, std::string_view line, std::size_t i,
                              std::string_view &captured);

    std::vector<std::string> m_texts;
    std::vector<Pattern> m_patterns;
    std::vector<std::string> m_requiredTexts;
    std::vector<std::size_t> m_rareOffsets;
};

// True when the first bytes of the line other than white space are "--".
bool isCommentLine(std::string_view line);

// The pattern text of the comment test, for reference.
extern const std::string_view kCommentPatternText;

// The texts of a pattern as the engine compiles it: "\s" spelled as the six
// ASCII white-space bytes.
std::string translatePatternText(std::string_view ecmaScriptText);

// The longest run of word bytes outside groups and classes that every match of
// the pattern must contain; empty when there is none or the pattern has "|".
std::string requiredLiteral(std::string_view patternText);
