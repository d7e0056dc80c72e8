#include "library/import/ZipNameEncoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <limits>

namespace fs = std::filesystem;

namespace {

// Larger central directories are not read for their names.
constexpr std::uint64_t kMaxDirectoryBytes = 64ULL * 1024 * 1024;

std::uint64_t little(const std::string &bytes, std::size_t at, int width)
{
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

bool readAt(std::ifstream &in, std::uint64_t offset, std::uint64_t size, std::string &bytes)
{
    if (size > kMaxDirectoryBytes)
        return false;
    bytes.assign(static_cast<std::size_t>(size), '\0');
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(in.read(bytes.data(), static_cast<std::streamsize>(size)));
}

bool isUtf8(const std::string &name)
{
    std::size_t i = 0;
    while (i < name.size()) {
        const auto byte = static_cast<unsigned char>(name[i]);
        int follow = byte < 0x80 ? 0 : byte >= 0xC2 && byte <= 0xDF ? 1
                                   : byte >= 0xE0 && byte <= 0xEF   ? 2
                                   : byte >= 0xF0 && byte <= 0xF4   ? 3
                                                                    : -1;
        if (follow < 0 || i + static_cast<std::size_t>(follow) >= name.size())
            return false;
        for (int k = 1; k <= follow; ++k)
            if ((static_cast<unsigned char>(name[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        i += static_cast<std::size_t>(follow) + 1;
    }
    return true;
}

constexpr int kInvalid = std::numeric_limits<int>::min();

// Common hanzi score best, the rarer ones and punctuation less, and pairs that
// GB2312 leaves empty count against; a byte that cannot start or end a pair
// rules the code page out.
int scoreAsGbk(const std::string &name)
{
    int score = 0;
    for (std::size_t i = 0; i < name.size();) {
        const auto lead = static_cast<unsigned char>(name[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead == 0x80 || lead == 0xFF || i + 1 >= name.size())
            return kInvalid;
        const auto trail = static_cast<unsigned char>(name[i + 1]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
            return kInvalid;
        const bool gb2312Trail = trail >= 0xA1;
        if (gb2312Trail && lead >= 0xB0 && lead <= 0xD7)
            score += 4;
        else if (gb2312Trail && lead >= 0xD8 && lead <= 0xF7)
            score += 2;
        else if (gb2312Trail && lead >= 0xA1 && lead <= 0xA3)
            score += 1;
        else
            score -= 4;
        i += 2;
    }
    return score;
}

struct CyrillicPage
{
    bool (*isLower)(unsigned char);
    bool (*isUpper)(unsigned char);
};

const CyrillicPage cp866{
    [](unsigned char b) { return (b >= 0xA0 && b <= 0xAF) || (b >= 0xE0 && b <= 0xEF) || b == 0xF1; },
    [](unsigned char b) { return (b >= 0x80 && b <= 0x9F) || b == 0xF0; }};
const CyrillicPage cp1251{[](unsigned char b) { return b >= 0xE0 || b == 0xB8; },
                          [](unsigned char b) { return (b >= 0xC0 && b <= 0xDF) || b == 0xA8; }};

// Letters score, anything else (box drawing, signs) counts against, and so
// does a capital straight after a small letter, which words do not have.
int scoreAsCyrillic(const std::string &name, const CyrillicPage &page)
{
    int score = 0;
    bool afterLower = false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            afterLower = false;
            continue;
        }
        const bool lower = page.isLower(byte);
        const bool upper = page.isUpper(byte);
        score += lower || upper ? 2 : -2;
        if (upper && afterLower)
            score -= 2;
        afterLower = lower;
    }
    return score;
}

} // namespace

std::optional<std::vector<std::string>> unflaggedZipNames(const fs::path &zip)
{
    std::ifstream in(zip, std::ios::binary);
    if (!in.seekg(0, std::ios::end))
        return std::nullopt;
    const auto size = static_cast<std::uint64_t>(in.tellg());
    constexpr std::uint64_t kEndRecord = 22;
    if (size < kEndRecord)
        return std::nullopt;
    const std::uint64_t tailSize = std::min<std::uint64_t>(size, kEndRecord + 0xFFFF);
    std::string tail;
    if (!readAt(in, size - tailSize, tailSize, tail))
        return std::nullopt;
    // The end record is the last one whose comment reaches exactly to the end.
    std::size_t end = std::string::npos;
    for (std::size_t at = tail.size() - kEndRecord + 1; at-- > 0;) {
        if (tail.compare(at, 4, "PK\x05\x06") == 0 &&
            at + kEndRecord + little(tail, at + 20, 2) == tail.size()) {
            end = at;
            break;
        }
    }
    if (end == std::string::npos)
        return std::nullopt;
    const std::uint64_t endOffset = size - tailSize + end;
    std::uint64_t entries = little(tail, end + 10, 2);
    std::uint64_t directorySize = little(tail, end + 12, 4);
    std::uint64_t directoryOffset = little(tail, end + 16, 4);
    if (entries == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) {
        std::string locator;
        std::string record;
        if (endOffset < 20 || !readAt(in, endOffset - 20, 20, locator) ||
            locator.compare(0, 4, "PK\x06\x07") != 0 ||
            !readAt(in, little(locator, 8, 8), 56, record) || record.compare(0, 4, "PK\x06\x06") != 0)
            return std::nullopt;
        entries = little(record, 32, 8);
        directorySize = little(record, 40, 8);
        directoryOffset = little(record, 48, 8);
    } else if (directorySize <= endOffset && directoryOffset != endOffset - directorySize) {
        // Data in front of the zip (a self-extracting one) shifts every offset.
        directoryOffset = endOffset - directorySize;
    }
    // Too large to read for its names: the zip is whole, its names go unguessed.
    if (directorySize > kMaxDirectoryBytes)
        return std::vector<std::string>{};
    std::string directory;
    if (directoryOffset > size || !readAt(in, directoryOffset, directorySize, directory))
        return std::nullopt;
    std::vector<std::string> names;
    std::size_t at = 0;
    for (std::uint64_t index = 0; index < entries; ++index) {
        if (at + 46 > directory.size() || directory.compare(at, 4, "PK\x01\x02") != 0)
            return std::nullopt;
        const auto flags = little(directory, at + 8, 2);
        const auto nameLength = static_cast<std::size_t>(little(directory, at + 28, 2));
        const auto rest = static_cast<std::size_t>(little(directory, at + 30, 2) +
                                                    little(directory, at + 32, 2));
        if (at + 46 + nameLength + rest > directory.size())
            return std::nullopt;
        if ((flags & 0x0800) == 0)
            names.push_back(directory.substr(at + 46, nameLength));
        at += 46 + nameLength + rest;
    }
    return names;
}

std::string zipNameCharset(const std::vector<std::string> &names)
{
    std::vector<const std::string *> legacy;
    bool anyNonAscii = false;
    for (const std::string &name : names) {
        anyNonAscii = anyNonAscii || std::any_of(name.begin(), name.end(), [](char c) {
                          return static_cast<unsigned char>(c) >= 0x80;
                      });
        if (!isUtf8(name))
            legacy.push_back(&name);
    }
    if (!anyNonAscii)
        return {};
    if (legacy.empty())
        return "UTF-8";
    struct Candidate
    {
        const char *charset;
        int score;
    };
    // In this order on equal scores: Chinese Windows is the most common source.
    std::array<Candidate, 3> candidates{{{"CP936", 0}, {"CP866", 0}, {"CP1251", 0}}};
    for (const std::string *name : legacy) {
        const int gbk = scoreAsGbk(*name);
        candidates[0].score = candidates[0].score == kInvalid || gbk == kInvalid
                                  ? kInvalid
                                  : candidates[0].score + gbk;
        candidates[1].score += scoreAsCyrillic(*name, cp866);
        candidates[2].score += scoreAsCyrillic(*name, cp1251);
    }
    const Candidate *best = &candidates[0];
    for (const Candidate &candidate : candidates)
        if (candidate.score > best->score)
            best = &candidate;
    return best->charset;
}
