#include "library/entryfile/BytePairSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>

namespace {

std::size_t plainSearch(std::string_view text, std::size_t from, std::size_t to, char byte,
                        char pairByte, std::ptrdiff_t distance)
{
    for (std::size_t at = from; at < std::min(to, text.size()); ++at) {
        const auto pair = static_cast<std::ptrdiff_t>(at) + distance;
        if (text[at] == byte && pair >= 0 && pair < static_cast<std::ptrdiff_t>(text.size()) &&
            text[static_cast<std::size_t>(pair)] == pairByte)
            return at;
    }
    return std::string_view::npos;
}

} // namespace

// Every width must find what a plain byte loop finds, across block edges, at
// both ends of the text and with the pair on either side.
TEST(BytePairSearchTest, EveryWidthFindsWhatAPlainLoopFinds)
{
    std::mt19937 random(11);
    const std::string alphabet = "vnv_d \n";
    for (int round = 0; round < 20000; ++round) {
        std::string text(std::uniform_int_distribution<std::size_t>(0, 300)(random), ' ');
        for (char &byte : text)
            byte = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() -
                                                                              1)(random)];
        const std::size_t from = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
        const std::size_t to =
            std::uniform_int_distribution<std::size_t>(from, text.size() + 2)(random);
        const std::ptrdiff_t distance =
            std::array<std::ptrdiff_t, 6>{-13, -7, -1, 1, 6, 40}[round % 6];
        const std::size_t expected = plainSearch(text, from, to, 'v', 'n', distance);
        for (const PairSearchWidth width :
             {PairSearchWidth::Widest, PairSearchWidth::Sixteen, PairSearchWidth::One})
            ASSERT_EQ(findBytePair(text, from, to, 'v', 'n', distance, width), expected)
                << "text \"" << text << "\" from " << from << " to " << to << " distance "
                << distance << " width " << static_cast<int>(width);
    }
}
