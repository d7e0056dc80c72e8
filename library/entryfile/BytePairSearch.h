#pragma once

#include <cstddef>
#include <string_view>

// The first position `at` in [from, to) where text[at] is `byte` and
// text[at + distance] is `pairByte`, or std::string_view::npos. Positions whose
// pair would fall outside the text do not count. A search for two bytes at once
// passes over the places where a common byte stands alone, which a search for
// one byte would stop at.
// The widest registers the search may use; tests narrow it to check each way
// of searching against the others.
enum class PairSearchWidth
{
    Widest,
    Sixteen,
    One,
};

std::size_t findBytePair(std::string_view text, std::size_t from, std::size_t to, char byte,
                         char pairByte, std::ptrdiff_t distance,
                         PairSearchWidth width = PairSearchWidth::Widest);
