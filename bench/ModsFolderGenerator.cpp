#include "bench/ModsFolderGenerator.h"

#include "library/catalogue/Constants.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::array<const char *, 16> kAircraftNames = {
    "Su-27", "MiG-29A", "F-16C",  "A-4E",    "Yak-52", "L-39",      "C-101",  "Mi-8MTV2",
    "UH-1H", "Ka-50",   "MB-339", "Hawk T1", "T-45",   "Mirage F1", "Tu-22M", "Il-76"};
const std::array<const char *, 8> kTechNames = {
    "SAM Pack",           "Ship Pack",   "Static Objects", "Ground Vehicles",
    "Airfield Equipment", "Radar Sites", "Convoys",        "Harbour Cranes"};
const std::array<const char *, 8> kDevelopers = {"North Ridge Sims", "Сокол Студия", "蓝天工作室",
                                                 "Kite & Co",        "Aeroforge",    "Tundra Lab",
                                                 "Полярная Ночь",    "Lone Pilot"};
const std::array<const char *, 10> kWords = {"pylon",  "payload", "cockpit", "texture", "livery",
                                             "damage", "engine",  "radar",   "weapon",  "fuel"};

class EntryWriter
{
public:
    EntryWriter(std::mt19937 &random, std::size_t index, bool aircraft)
        : m_random(random), m_index(index), m_aircraft(aircraft)
    {}

    std::string shortName() const
    {
        return m_aircraft ? kAircraftNames[m_index % kAircraftNames.size()]
                          : kTechNames[m_index % kTechNames.size()];
    }

    std::vector<std::string> lines(std::size_t lineCount, std::size_t byteCount)
    {
        const std::string id = "VUV_" + folderName(shortName()) + "_" + std::to_string(m_index);
        const std::string shortText = shortName();
        const std::string developer = pick(kDevelopers);
        const std::string display = shortText +
                                    (chance(0.2)   ? " Полёт"
                                     : chance(0.1) ? " 飞行"
                                                   : " Mod") +
                                    " " + std::to_string(m_index);
        std::vector<std::string> out;
        out.push_back("-- " + display + " for VAZ Udi Verazev");
        out.push_back("-- Copyright " + developer + ", all rights reserved");
        const int declaration = uniform(0, 9);
        if (declaration < 5) {
            out.push_back("local self_ID = \"" + id + "\"");
            out.push_back("declare_plugin(self_ID,");
        } else {
            out.push_back("declare_plugin(\"" + id + "\",");
        }
        out.push_back("{");
        out.push_back("\timage\t\t= \"" + folderName(shortText) + ".bmp\",");
        out.push_back("\tinstalled\t= true, -- if false the plugin is a placeholder");
        out.push_back("\tdirName\t\t= current_mod_path,");
        if (declaration == 9)
            out.push_back("\tself_ID\t\t= \"" + id + "\",");
        if (chance(0.8))
            out.push_back(chance(0.5) ? "\tdeveloperName\t= _(\"" + developer + "\"),"
                                      : "\tdeveloperName = \"" + developer + "\",");
        out.push_back("\tdeveloperEMail\t= \"support@example.org\",");
        if (chance(0.9))
            out.push_back("\tdisplayName\t= _(\"" + display + "\"),");
        if (chance(0.7))
            out.push_back("\tshortName\t= \"" + shortText + "\",");
        out.push_back("\tfileMenuName\t= _(\"" + shortText + "\"),");
        if (chance(0.85))
            out.push_back(chance(0.5) ? "\tversion\t\t= \"" + versionText() + "\","
                                      : "\tversion = " + versionText() + ",");
        out.push_back("\tstate\t\t= \"installed\",");
        const std::size_t infoLine = out.size();
        out.push_back("\tinfo\t\t= _(\"" + sentence(uniform(6, 30)) + "\"),");
        out.push_back("\tbinaries\t= { '" + folderName(shortText) + ".dll', },");
        out.push_back("\tInputProfiles\t= { [\"" + shortText +
                      "\"] = current_mod_path .. '/Input', },");
        for (const char *table : {"Skins", "Missions", "LogBook"}) {
            out.push_back(std::string("\t") + table + " =");
            out.push_back("\t{");
            out.push_back("\t\t{");
            out.push_back("\t\t\tname\t= _(\"" + shortText + "\"),");
            out.push_back(std::string("\t\t\tdir\t= \"") + table + "\",");
            out.push_back("\t\t},");
            out.push_back("\t},");
        }
        out.push_back("})");
        out.push_back(std::string(80, '-'));

        std::size_t used = 0;
        for (const std::string &line : out)
            used += line.size() + 1;
        while (out.size() + 1 < lineCount) {
            const std::size_t linesLeft = lineCount - out.size() - 1;
            const std::size_t target = byteCount > used ? (byteCount - used) / linesLeft : 8;
            std::vector<std::string> block = bodyBlock(shortText);
            block.resize(std::min(block.size(), linesLeft));
            for (std::string &line : block) {
                pad(line, target);
                used += line.size() + 1;
                out.push_back(std::move(line));
            }
        }
        out.push_back("plugin_done()");
        // Short files make up their size with a long description, as real ones do.
        std::string more;
        while (used + more.size() + 14 < byteCount)
            more += std::string(" ") + pick(kWords);
        out[infoLine].insert(out[infoLine].size() - 3, more);
        return out;
    }

private:
    std::vector<std::string> bodyBlock(const std::string &shortText)
    {
        const std::string file = folderName(shortText);
        switch (uniform(0, 7)) {
        case 0:
            return {"mount_vfs_model_path\t(current_mod_path..\"/Shapes\")",
                    "mount_vfs_texture_path\t(current_mod_path..\"/Textures/" + file + ".zip\")",
                    "mount_vfs_liveries_path\t(current_mod_path..\"/Liveries\")"};
        case 1:
            return {"dofile(current_mod_path..\"/Entry/" + file + "_" +
                    std::to_string(uniform(1, 9)) + ".lua\")"};
        case 2:
            return {"-- " + sentence(uniform(3, 12))};
        case 3:
            return {"--[[", sentence(uniform(4, 10)), "version history: " + versionText(), "]]"};
        case 4: {
            std::vector<std::string> table = {"local pylons_" + std::to_string(uniform(1, 99)) +
                                              " = {"};
            for (int i = uniform(2, 6); i > 0; --i)
                table.push_back("\t{ CLSID = \"{" + std::to_string(m_random()) +
                                "}\", arg_value = 0.5, connector = \"Pylon" + std::to_string(i) +
                                "\" },");
            table.push_back("}");
            return table;
        }
        case 5:
            return {"make_flyable('" + shortText +
                    "', current_mod_path..'/Cockpit/', nil, "
                    "current_mod_path..'/comm.lua')"};
        case 6:
            return {"local name = unit.displayName or \"" + shortText + "\"",
                    "if version_check then print(\"" + sentence(2) + "\") end"};
        default:
            return {"local " + std::string(pick(kWords)) + "_table = {",
                    "\t[\"" + std::string(pick(kWords)) + "\"] = { " +
                        std::to_string(uniform(0, 999)) + ", " + std::to_string(uniform(0, 999)) +
                        " },",
                    "}"};
        }
    }

    // Lengthens code and comment lines alike with a trailing remark.
    void pad(std::string &line, std::size_t target)
    {
        if (line.size() + 4 >= target || line == "--[[" || line == "]]")
            return;
        line += " -- ";
        while (line.size() < target)
            line += std::string(pick(kWords)) + " ";
    }

    std::string sentence(int words)
    {
        std::string text;
        for (int i = 0; i < words; ++i)
            text += std::string(i ? " " : "") + pick(kWords);
        return text;
    }

    std::string versionText()
    {
        return std::to_string(uniform(0, 3)) + "." + std::to_string(uniform(0, 20)) + "." +
               std::to_string(uniform(0, 200));
    }

    static std::string folderName(const std::string &name)
    {
        std::string result = name;
        std::replace(result.begin(), result.end(), ' ', '_');
        return result;
    }

    template <typename List> const char *pick(const List &list)
    {
        return list[static_cast<std::size_t>(uniform(0, static_cast<int>(list.size()) - 1))];
    }

    int uniform(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }

    bool chance(double probability)
    {
        return std::bernoulli_distribution(probability)(m_random);
    }

    std::mt19937 &m_random;
    std::size_t m_index;
    bool m_aircraft;
};

void writeBytes(const fs::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

ModsFolderGenerator::ModsFolderGenerator(Options options) : m_options(options) {}

ModsFolderGenerator::Summary ModsFolderGenerator::generate(const fs::path &modsFolder) const
{
    std::mt19937 random(m_options.seed);
    Summary summary;
    const fs::path aircraftFolder = modsFolder / "aircraft";
    const fs::path techFolder = modsFolder / "tech";
    fs::create_directories(aircraftFolder);
    fs::create_directories(techFolder);
    for (std::size_t index = 0; index < m_options.modCount; ++index) {
        const bool aircraft = std::bernoulli_distribution(m_options.aircraftShare)(random);
        const bool disabled = std::bernoulli_distribution(m_options.disabledShare)(random);
        EntryWriter writer(random, index, aircraft);

        const std::size_t lineCount = std::uniform_int_distribution<std::size_t>(
            m_options.minLines, m_options.maxLines)(random);
        const std::size_t lowBytes = std::max(m_options.minBytes, lineCount * 25);
        const std::size_t highBytes =
            std::max(lowBytes, std::min(m_options.maxBytes, lineCount * 110));
        const std::size_t byteCount =
            std::uniform_int_distribution<std::size_t>(lowBytes, highBytes)(random);
        const std::string ending = std::bernoulli_distribution(0.15)(random) ? "\r\n" : "\n";
        std::string content = std::bernoulli_distribution(0.03)(random) ? "\xEF\xBB\xBF" : "";
        for (const std::string &line : writer.lines(lineCount, byteCount))
            content += line + ending;

        std::string name = writer.shortName() + "-" + std::to_string(index);
        std::replace(name.begin(), name.end(), ' ', '_');
        const fs::path modFolder = (aircraft ? aircraftFolder : techFolder) / name;
        for (const char *part : {"Cockpit", "Shapes", "Textures", "Liveries"})
            if (std::bernoulli_distribution(0.7)(random))
                fs::create_directories(modFolder / part);
        fs::create_directories(modFolder);
        writeBytes(modFolder / "readme.txt", "Put this folder into your mods folder.\n");
        fs::path entryFolder = modFolder;
        if (disabled) {
            entryFolder /= kStorageFolderName;
            fs::create_directories(entryFolder);
        }
        writeBytes(entryFolder / kEntryFileName, content);

        (aircraft ? summary.aircraft : summary.tech) += 1;
        summary.disabled += disabled;
        summary.entryBytes += content.size();
    }
    return summary;
}
