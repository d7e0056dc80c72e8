// Bytes in as the settings file: both readers and both rewrites, checked for
// line ends, for rewrites that find nothing, for reading back what was written
// and, on short texts, against std::regex as the reference.

#include "fuzz/FuzzCheck.h"
#include "settings/SettingsText.h"

#include <cstdint>
#include <regex>

namespace {

struct Reference
{
    std::regex comment{R"re(^\s*--)re", std::regex::ECMAScript};
    std::regex readLanguage{R"re(\s*\bLanguage\b\s*=\s*\"([^\"]*)\")re", std::regex::ECMAScript};
    std::regex readDirectory{R"re(\s*\bDIRECTORY\b\s*=\s*\"([^\"]*)\")re", std::regex::ECMAScript};
    std::regex rewriteLanguage{R"re(\blocal\b\s*\bLanguage\b\s*=\s*\"([^\"]*)\")re",
                               std::regex::ECMAScript};
    std::regex rewriteDirectory{R"re(\blocal\b\s*\bDIRECTORY\b\s*=\s*\"([^\"]*)\")re",
                                std::regex::ECMAScript};
};

// The rewrite patterns span lines, and std::regex recurses per byte.
constexpr std::size_t kReferenceTextLimit = 256;

const char *keyName(SettingKey key)
{
    return key == SettingKey::Language ? "Language" : "DIRECTORY";
}

std::string referenceRead(std::string_view text, const std::regex &comment,
                          const std::regex &pattern)
{
    for (const std::string_view line : splitLines(text)) {
        std::match_results<std::string_view::const_iterator> match;
        if (!std::regex_search(line.begin(), line.end(), comment) &&
            std::regex_search(line.begin(), line.end(), match, pattern))
            return match[1].str();
    }
    return {};
}

std::string referenceRewrite(const std::string &text, const std::regex &pattern,
                             const std::string &line)
{
    std::string result;
    auto copied = text.begin();
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) {
        result.append(copied, (*it)[0].first);
        result += line;
        copied = (*it)[0].second;
    }
    result.append(copied, text.end());
    return result;
}

// Removes the key everywhere, also where a removal joins a new one together.
std::string withoutKey(std::string text, std::string_view key)
{
    for (std::size_t at; (at = text.find(key)) != std::string::npos;)
        text.erase(at, key.size());
    return text;
}

void checkKey(const Reference &reference, const std::string &text, SettingKey key,
              std::string_view value)
{
    const bool language = key == SettingKey::Language;
    const std::string read = findSettingValue(text, key);
    fuzzCheck(read.find_first_of("\"\n") == std::string::npos, "a value stays inside its quotes");

    const std::string rewritten = rewriteSetting(text, key, value);
    if (text.find("local") == std::string::npos || text.find(keyName(key)) == std::string::npos)
        fuzzCheck(rewritten == text, "a text without the assignment is written back as it was");

    if (text.size() <= kReferenceTextLimit) {
        const std::string line =
            std::string(language ? "local Language = \"" : "local DIRECTORY = \"") +
            std::string(value) + '"';
        fuzzCheck(read ==
                      referenceRead(text, reference.comment,
                                    language ? reference.readLanguage : reference.readDirectory),
                  "the reader agrees with std::regex");
        fuzzCheck(rewritten == referenceRewrite(text,
                                                language ? reference.rewriteLanguage
                                                         : reference.rewriteDirectory,
                                                line),
                  "the rewrite agrees with std::regex");
    }

    // Once the file's first assignment is the program's own line, reading
    // after writing gives the value back.
    const std::string own =
        withoutKey(text, keyName(key)) +
        (language ? "\nlocal Language = \"EN\"\n" : "\nlocal DIRECTORY = \"\"\n") + text;
    const std::string saved = textFromFileBytes(fileBytesFromText(rewriteSetting(own, key, value)));
    fuzzCheck(findSettingValue(saved, key) == value, "reading after writing gives the value back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const Reference reference;
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::string text = textFromFileBytes(bytes);
    fuzzCheck(textFromFileBytes(fileBytesFromText(text)) == text,
              "written line ends read back as the same text");
    const std::string written = fileBytesFromText(text);
    for (std::size_t at = written.find('\n'); at != std::string::npos;
         at = written.find('\n', at + 1))
        fuzzCheck(at > 0 && written[at - 1] == '\r', "every line ends with CR LF when written");

    // A directory value: any bytes of the input that the writer allows.
    std::string directory;
    for (const char c : bytes.substr(0, 40))
        if (c != '"' && c != '\r' && c != '\n')
            directory += c;
    for (const char *code : {"EN", "CN", "RU"})
        checkKey(reference, text, SettingKey::Language, code);
    checkKey(reference, text, SettingKey::Directory, directory);
    return 0;
}
