#include "settings/SettingsText.h"

#include "library/entryfile/FieldPatterns.h"

#include <re2/re2.h>

#include <memory>

namespace {

// The same linear-time byte engine and ECMAScript translation as the
// entry-file reader: the rewrites run over the whole file.
std::unique_ptr<RE2> compile(std::string_view ecmaScriptPattern)
{
    RE2::Options options;
    options.set_encoding(RE2::Options::EncodingLatin1);
    options.set_case_sensitive(true);
    options.set_log_errors(false);
    return std::make_unique<RE2>(translatePatternText(ecmaScriptPattern), options);
}

struct SettingsPatterns
{
    std::unique_ptr<RE2> readLanguage = compile(R"re(\s*\bLanguage\b\s*=\s*\"([^\"]*)\")re");
    std::unique_ptr<RE2> readDirectory = compile(R"re(\s*\bDIRECTORY\b\s*=\s*\"([^\"]*)\")re");
    std::unique_ptr<RE2> rewriteLanguage =
        compile(R"re(\blocal\b\s*\bLanguage\b\s*=\s*\"([^\"]*)\")re");
    std::unique_ptr<RE2> rewriteDirectory =
        compile(R"re(\blocal\b\s*\bDIRECTORY\b\s*=\s*\"([^\"]*)\")re");
};

const SettingsPatterns &patterns()
{
    static const SettingsPatterns compiled;
    return compiled;
}

} // namespace

std::string textFromFileBytes(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        text += bytes[i];
    }
    return text;
}

std::string fileBytesFromText(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}

std::string findSettingValue(std::string_view text, SettingKey key)
{
    const RE2 &assignment =
        key == SettingKey::Language ? *patterns().readLanguage : *patterns().readDirectory;
    while (true) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        re2::StringPiece value;
        if (!isCommentLine(line) && RE2::PartialMatch(line, assignment, &value))
            return std::string(value.data(), value.size());
        if (end == std::string_view::npos)
            return {};
        text.remove_prefix(end + 1);
    }
}

std::string rewriteSetting(std::string_view text, SettingKey key, std::string_view value)
{
    const bool language = key == SettingKey::Language;
    const RE2 &assignment = language ? *patterns().rewriteLanguage : *patterns().rewriteDirectory;
    std::string line = language ? "local Language = \"" : "local DIRECTORY = \"";
    line.append(value);
    line += '"';

    std::string result;
    std::size_t copied = 0;
    re2::StringPiece match;
    // Searching from `copied` within the whole text lets \b see the byte before.
    while (copied < text.size() &&
           assignment.Match(text, copied, text.size(), RE2::UNANCHORED, &match, 1)) {
        const auto start = static_cast<std::size_t>(match.data() - text.data());
        result.append(text.substr(copied, start - copied));
        result += line;
        copied = start + match.size();
    }
    result.append(text.substr(copied));
    return result;
}
