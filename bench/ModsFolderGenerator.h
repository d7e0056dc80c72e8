#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

// Writes a mods folder shaped like a player's: "aircraft" and "tech" category
// folders whose mod folders hold plugin declarations with nested tables,
// comments, _( ) names, some CRLF endings, and a share of disabled mods whose
// entry file lies in the storage folder. Deterministic for a given seed.
class ModsFolderGenerator
{
public:
    struct Options
    {
        std::size_t modCount = 2000;
        double aircraftShare = 0.7;
        double disabledShare = 0.1;
        std::size_t minLines = 40;
        std::size_t maxLines = 200;
        std::size_t minBytes = 2 * 1024;
        std::size_t maxBytes = 10 * 1024;
        std::uint32_t seed = 20260607;
    };

    struct Summary
    {
        std::size_t aircraft = 0;
        std::size_t tech = 0;
        std::size_t disabled = 0;
        std::uintmax_t entryBytes = 0;
    };

    explicit ModsFolderGenerator(Options options);

    // Creates the category folders below `modsFolder`, which must not hold them yet.
    Summary generate(const std::filesystem::path &modsFolder) const;

private:
    Options m_options;
};
