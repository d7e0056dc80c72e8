#include "bench/SparseModsFolderGenerator.h"

#include "library/catalogue/Constants.h"

#include <array>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::array<const char *, 12> kProse = {
    "This module is provided as is, without warranty of any kind.",
    "Redistribution of the textures requires the written consent of the authors.",
    "Модуль распространяется бесплатно; продажа запрещена.",
    "本模组免费发布，禁止用于商业用途。",
    "Known issues: the left gear door flickers at night; fixed in the next release.",
    "Thanks to the beta testers of the squadron for weeks of patient flying.",
    "Обновление: новая модель кабины, исправлены текстуры шасси.",
    "更新：新的座舱模型，修复了起落架纹理。",
    "Set the option in the special menu before the first flight.",
    "The flight model follows the public charts; corrections are welcome.",
    "Sound pack recorded on a real airframe at the museum, with permission.",
    "Use at your own risk; back up your saved missions first.",
};

class SparseEntry
{
public:
    SparseEntry(std::mt19937 &random, std::size_t index, bool large)
        : m_random(random), m_index(index), m_large(large)
    {}

    std::string text()
    {
        const bool crlf = chance(0.5);
        std::string out = chance(0.3) ? "\xEF\xBB\xBF" : "";
        const auto line = [&](const std::string &text) {
            out += text;
            out += crlf ? "\r\n" : "\n";
        };
        const std::string id = "SPARSE_" + std::to_string(m_index);
        // A licence block first, as many authors put one.
        const int blockLines = m_large ? 1400 : uniform(10, 120);
        const bool longComment = chance(0.5);
        if (longComment)
            line("--[[");
        for (int i = 0; i < blockLines; ++i)
            line((longComment ? "    " : "-- ") + std::string(kProse[uniform(0, kProse.size() - 1)]));
        if (longComment)
            line("]]");
        line("local function vehicle_path(name) return current_mod_path .. '/' .. name end");
        line("declare_plugin(\"" + id + "\",");
        line("{");
        line("\tinstalled = true,");
        line("\tdirName = current_mod_path,");
        if (chance(0.5))
            line("\tdisplayName = _(\"Sparse " + std::to_string(m_index) + " Полёт\"),");
        if (chance(0.3))
            line("\tshortName = _(\"S" + std::to_string(m_index) + "\"),");
        if (chance(0.4))
            line("\tdeveloperName = _(\"Лаборатория " + std::to_string(m_index % 17) + "\"),");
        if (chance(0.3))
            line("\tversion = \"" + std::to_string(uniform(0, 3)) + "." + std::to_string(uniform(0, 9)) + "\",");
        line("\tinfo = _(\"" + std::string(kProse[m_index % kProse.size()]) + "\"),");
        line("\tSkins = {");
        for (int i = 0, skins = uniform(2, 12); i < skins; ++i)
            line("\t\t{ name = _(\"Skin " + std::to_string(i) + "\"), dir = \"Skins/" + std::to_string(i) + "\" },");
        line("\t},");
        line("})");
        // Data tables after the declaration, also read when a field is absent.
        for (int i = 0, rows = m_large ? 600 : uniform(5, 60); i < rows; ++i)
            line("mount_vfs_texture_path(vehicle_path(\"Textures/part_" + std::to_string(i) + ".zip\")) -- " +
                 kProse[uniform(0, kProse.size() - 1)]);
        line("plugin_done()");
        return out;
    }

private:
    bool chance(double p)
    {
        return std::uniform_real_distribution<double>(0, 1)(m_random) < p;
    }
    int uniform(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }
    int uniform(int low, std::size_t high)
    {
        return uniform(low, static_cast<int>(high));
    }

    std::mt19937 &m_random;
    std::size_t m_index;
    bool m_large;
};

void writeBytes(const fs::path &path, const std::string &bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

SparseModsFolderGenerator::SparseModsFolderGenerator(Options options) : m_options(options) {}

SparseModsFolderGenerator::Summary SparseModsFolderGenerator::generate(const fs::path &modsFolder) const
{
    std::mt19937 random(m_options.seed);
    std::uniform_real_distribution<double> share(0, 1);
    Summary summary;
    for (std::size_t index = 0; index < m_options.modCount; ++index) {
        const bool aircraft = share(random) < m_options.aircraftShare;
        const bool disabled = share(random) < m_options.disabledShare;
        const bool large = share(random) < m_options.largeShare;
        const fs::path modFolder =
            modsFolder / (aircraft ? "aircraft" : "tech") / ("Sparse Mod " + std::to_string(index));
        const fs::path entry = disabled ? modFolder / kStorageFolderName / kEntryFileName
                                        : modFolder / kEntryFileName;
        const std::string content = SparseEntry(random, index, large).text();
        writeBytes(entry, content);
        writeBytes(modFolder / "readme.txt", "See entry.lua\n");
        (aircraft ? summary.aircraft : summary.tech) += 1;
        summary.disabled += disabled ? 1 : 0;
        summary.large += large ? 1 : 0;
        summary.entryBytes += content.size();
    }
    return summary;
}
