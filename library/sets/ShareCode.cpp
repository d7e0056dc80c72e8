#include "library/sets/ShareCode.h"

#include "library/sets/ModSetError.h"
#include "library/sets/ModSetJson.h"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
// A set file of this size is far beyond any real mods folder; more is refused
// before and after unpacking.
constexpr std::size_t kLargestText = 16u << 20;

std::uint32_t checksum(std::string_view text)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    while (!text.empty()) {
        const uInt chunk = text.size() > (1u << 30) ? (1u << 30) : uInt(text.size());
        crc = crc32(crc, reinterpret_cast<const Bytef *>(text.data()), chunk);
        text.remove_prefix(chunk);
    }
    return static_cast<std::uint32_t>(crc);
}

std::string hex8(std::uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(value));
    return text;
}

std::string deflateText(const std::string &text)
{
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string packed(size, '\0');
    if (compress2(reinterpret_cast<Bytef *>(packed.data()), &size,
                  reinterpret_cast<const Bytef *>(text.data()), static_cast<uLong>(text.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        throw ModSetError(ModSetProblem::TooLarge);
    packed.resize(size);
    return packed;
}

std::string inflateText(const std::string &packed)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        throw ModSetError(ModSetProblem::CodeDamaged);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    std::string text;
    std::array<char, 16384> buffer;
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer.data());
        stream.avail_out = static_cast<uInt>(buffer.size());
        status = inflate(&stream, Z_NO_FLUSH);
        text.append(buffer.data(), buffer.size() - stream.avail_out);
        if (text.size() > kLargestText) {
            inflateEnd(&stream);
            throw ModSetError(ModSetProblem::TooLarge);
        }
    }
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0;
    inflateEnd(&stream);
    if (!whole)
        throw ModSetError(ModSetProblem::CodeDamaged);
    return text;
}

std::string toBase64Url(const std::string &bytes)
{
    std::string text;
    text.reserve((bytes.size() * 4 + 2) / 3);
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : bytes) {
        bits = (bits << 8) | static_cast<unsigned char>(c);
        count += 8;
        while (count >= 6) {
            count -= 6;
            text += kAlphabet[(bits >> count) & 0x3f];
        }
    }
    if (count > 0)
        text += kAlphabet[(bits << (6 - count)) & 0x3f];
    return text;
}

std::string fromBase64Url(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() * 3 / 4);
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        int value;
        if (c >= 'A' && c <= 'Z')
            value = c - 'A';
        else if (c >= 'a' && c <= 'z')
            value = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            value = c - '0' + 52;
        else if (c == '-')
            value = 62;
        else if (c == '_')
            value = 63;
        else
            throw ModSetError(ModSetProblem::CodeDamaged);
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xff);
        }
    }
    // Six bits or more left over, or bits set in the padding, cannot come from
    // a whole code.
    if (count >= 6 || (bits & ((1u << count) - 1)) != 0)
        throw ModSetError(ModSetProblem::CodeDamaged);
    return bytes;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::string modSetToShareCode(const ModSet &set)
{
    std::string code = kShareCodePrefix;
    code += std::to_string(kModSetFormatVersion);
    code += ':';
    code += toBase64Url(deflateText(modSetToJson(set)));
    code += ':' + hex8(checksum(code));
    return code;
}

ModSet modSetFromShareCode(std::string_view input)
{
    if (input.size() > kLargestText)
        throw ModSetError(ModSetProblem::TooLarge);
    std::string code;
    code.reserve(input.size());
    for (const char c : input)
        if (!isSpace(c))
            code += c;
    const std::string_view prefix = kShareCodePrefix;
    if (code.compare(0, prefix.size(), prefix) != 0)
        throw ModSetError(ModSetProblem::NotACode);
    const std::size_t versionEnd = code.find(':', prefix.size());
    const std::size_t payloadEnd = code.rfind(':');
    if (versionEnd == std::string::npos)
        throw ModSetError(ModSetProblem::CodeDamaged);
    // A later version may pack and check differently: its number is all that
    // can be read of it.
    const std::string version = code.substr(prefix.size(), versionEnd - prefix.size());
    if (version.empty() || version.find_first_not_of("0123456789") != std::string::npos)
        throw ModSetError(ModSetProblem::CodeDamaged);
    if (version != std::to_string(kModSetFormatVersion))
        throw ModSetError(ModSetProblem::UnknownVersion);
    if (payloadEnd == versionEnd || code.size() - payloadEnd - 1 != 8)
        throw ModSetError(ModSetProblem::CodeDamaged);
    const std::string_view body = std::string_view(code).substr(0, payloadEnd);
    if (hex8(checksum(body)) != code.substr(payloadEnd + 1))
        throw ModSetError(ModSetProblem::CodeDamaged);
    const std::string_view payload = body.substr(versionEnd + 1);
    return modSetFromJson(inflateText(fromBase64Url(payload)));
}
