#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

// Writes a mods folder of another shape than ModsFolderGenerator's: entry files
// behind long comment blocks (line comments and --[[ ]] blocks, with text in
// three scripts), names wrapped in _( ), fields often absent so that a reader
// must go through the whole file, CRLF or LF, UTF-8 with or without a
// byte-order mark, and a share of files of about 100 KB. Deterministic for a
// given seed.
class SparseModsFolderGenerator
{
public:
    struct Options
    {
        std::size_t modCount = 2000;
        double aircraftShare = 0.6;
        double disabledShare = 0.15;
        double largeShare = 0.05; // files of about 100 KB
        std::uint32_t seed = 20261207;
    };

    struct Summary
    {
        std::size_t aircraft = 0;
        std::size_t tech = 0;
        std::size_t disabled = 0;
        std::size_t large = 0;
        std::uintmax_t entryBytes = 0;
    };

    explicit SparseModsFolderGenerator(Options options);

    // Creates the category folders below `modsFolder`, which must not hold them yet.
    Summary generate(const std::filesystem::path &modsFolder) const;

private:
    Options m_options;
};
