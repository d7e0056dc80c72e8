#pragma once

#include <memory>
#include <string_view>
#include <vector>

namespace re2 {
class RE2;
}

// The ordered, compiled patterns of one entry-file field; the first capture
// group of the first pattern that matches a line is the value.
// (Draft interface: the catalogue work owns and may refine this header.)
class FieldPatterns
{
public:
    explicit FieldPatterns(const std::vector<std::string_view> &patternTexts);
    ~FieldPatterns();
    FieldPatterns(FieldPatterns &&) noexcept;
    FieldPatterns &operator=(FieldPatterns &&) noexcept;

private:
    std::vector<std::unique_ptr<re2::RE2>> m_patterns;
};

// True when the first bytes of the line other than white space are "--".
bool isCommentLine(std::string_view line);
