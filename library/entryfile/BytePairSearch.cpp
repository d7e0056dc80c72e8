#include "library/entryfile/BytePairSearch.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The bytes of [at, end) one by one, found a byte at a time.
std::size_t findOneByOne(const char *data, std::size_t at, std::size_t end, char byte,
                         char pairByte, std::ptrdiff_t distance)
{
    while (at < end) {
        const void *found = std::memchr(data + at, byte, end - at);
        if (found == nullptr)
            return kNone;
        at = static_cast<std::size_t>(static_cast<const char *>(found) - data);
        if (data[static_cast<std::ptrdiff_t>(at) + distance] == pairByte)
            return at;
        ++at;
    }
    return kNone;
}

#if defined(__SSE2__)

// Sixteen positions at a time; most blocks hold neither byte, so four blocks
// are tested together and only a hit is looked at again.
std::size_t findWithSse2(const char *data, std::size_t at, std::size_t end, char byte,
                         char pairByte, std::ptrdiff_t distance)
{
    const __m128i wanted = _mm_set1_epi8(byte);
    const __m128i pair = _mm_set1_epi8(pairByte);
    const auto both = [&](std::size_t block) {
        const auto *here = reinterpret_cast<const __m128i *>(data + block);
        const auto *there = reinterpret_cast<const __m128i *>(data + block + distance);
        return _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(here), wanted),
                             _mm_cmpeq_epi8(_mm_loadu_si128(there), pair));
    };
    for (; at + 64 <= end; at += 64) {
        const __m128i any = _mm_or_si128(_mm_or_si128(both(at), both(at + 16)),
                                         _mm_or_si128(both(at + 32), both(at + 48)));
        if (_mm_movemask_epi8(any) != 0)
            break;
    }
    for (; at + 16 <= end; at += 16)
        if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(both(at))); mask != 0)
            return at + static_cast<std::size_t>(std::countr_zero(mask));
    return findOneByOne(data, at, end, byte, pairByte, distance);
}

#if defined(__GNUC__)
#define TESSEL3_HAS_AVX2_PATH 1

// The same with thirty-two positions at a time, on processors that have them.
__attribute__((target("avx2"))) std::size_t findWithAvx2(const char *data, std::size_t at,
                                                         std::size_t end, char byte, char pairByte,
                                                         std::ptrdiff_t distance)
{
    const __m256i wanted = _mm256_set1_epi8(byte);
    const __m256i pair = _mm256_set1_epi8(pairByte);
    const auto both = [&](std::size_t block) __attribute__((target("avx2")))
    {
        const auto *here = reinterpret_cast<const __m256i *>(data + block);
        const auto *there = reinterpret_cast<const __m256i *>(data + block + distance);
        return _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_loadu_si256(here), wanted),
                                _mm256_cmpeq_epi8(_mm256_loadu_si256(there), pair));
    };
    for (; at + 64 <= end; at += 64) {
        const __m256i first = both(at);
        const __m256i second = both(at + 32);
        if (_mm256_movemask_epi8(_mm256_or_si256(first, second)) == 0)
            continue;
        if (const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(first)); mask != 0)
            return at + static_cast<std::size_t>(std::countr_zero(mask));
        const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(second));
        return at + 32 + static_cast<std::size_t>(std::countr_zero(mask));
    }
    return findWithSse2(data, at, end, byte, pairByte, distance);
}

bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

#endif

} // namespace

std::size_t findBytePair(std::string_view text, std::size_t from, std::size_t to, char byte,
                         char pairByte, std::ptrdiff_t distance, PairSearchWidth width)
{
    const std::size_t size = text.size();
    // Only positions whose pair lies in the text.
    const std::size_t reachBack = distance < 0 ? static_cast<std::size_t>(-distance) : 0;
    const std::size_t reachOn = distance > 0 ? static_cast<std::size_t>(distance) : 0;
    const std::size_t at = std::max(from, reachBack);
    const std::size_t end = std::min(to, size - std::min(size, reachOn));
    if (at >= end)
        return kNone;
#if defined(TESSEL3_HAS_AVX2_PATH)
    if (width == PairSearchWidth::Widest && hasAvx2())
        return findWithAvx2(text.data(), at, end, byte, pairByte, distance);
#endif
#if defined(__SSE2__)
    if (width != PairSearchWidth::One)
        return findWithSse2(text.data(), at, end, byte, pairByte, distance);
#endif
    return findOneByOne(text.data(), at, end, byte, pairByte, distance);
}
