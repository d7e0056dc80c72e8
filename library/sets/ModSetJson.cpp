#include "library/sets/ModSetJson.h"

#include "library/sets/ModSetError.h"

#include <nlohmann/json.hpp>

#include <set>
#include <utility>

using json = nlohmann::json;

namespace {

constexpr char kFormatName[] = "tessel3-set";

const json &entry(const json &object, const char *key, json::value_t type)
{
    const auto found = object.find(key);
    const bool fits = found != object.end() &&
                      (found->type() == type ||
                       (type == json::value_t::number_integer &&
                        found->type() == json::value_t::number_unsigned));
    if (!fits)
        throw ModSetError(ModSetProblem::WrongShape, key);
    return *found;
}

std::string text(const json &object, const char *key)
{
    return entry(object, key, json::value_t::string).get<std::string>();
}

} // namespace

bool isPlainFolderName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (const char c : name)
        if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}

std::string modSetToJson(const ModSet &set)
{
    json members = json::array();
    for (const ModSetMember &member : set.members)
        members.push_back({{"category", categoryWord(member.category)},
                           {"folder", member.folder},
                           {"selfId", member.selfId},
                           {"name", member.name},
                           {"version", member.version},
                           {"on", member.on}});
    const json document{{"format", kFormatName},
                        {"version", kModSetFormatVersion},
                        {"name", set.name},
                        {"members", std::move(members)}};
    // Entry files are not bound to UTF-8; such bytes become U+FFFD rather
    // than making the set unwritable. The folder still finds the mod.
    return document.dump(1, '\t', false, json::error_handler_t::replace) + "\n";
}

ModSet modSetFromJson(std::string_view textIn)
{
    const json document = json::parse(textIn.begin(), textIn.end(), nullptr, false);
    if (document.is_discarded() || !document.is_object())
        throw ModSetError(ModSetProblem::NotJson);
    if (text(document, "format") != kFormatName)
        throw ModSetError(ModSetProblem::WrongShape, "format");
    if (entry(document, "version", json::value_t::number_integer).get<long long>() !=
        kModSetFormatVersion)
        throw ModSetError(ModSetProblem::UnknownVersion);
    ModSet set;
    set.name = text(document, "name");
    if (set.name.empty())
        throw ModSetError(ModSetProblem::EmptyName);
    std::set<std::pair<int, std::string>> named;
    for (const json &item : entry(document, "members", json::value_t::array)) {
        if (!item.is_object())
            throw ModSetError(ModSetProblem::WrongShape, "members");
        ModSetMember member;
        const std::string category = text(item, "category");
        if (category == categoryWord(ModCategory::Aircraft))
            member.category = ModCategory::Aircraft;
        else if (category == categoryWord(ModCategory::Tech))
            member.category = ModCategory::Tech;
        else
            throw ModSetError(ModSetProblem::UnknownCategory, category);
        member.folder = text(item, "folder");
        if (!isPlainFolderName(member.folder))
            throw ModSetError(ModSetProblem::UnsafeFolder, member.folder);
        member.selfId = text(item, "selfId");
        member.name = text(item, "name");
        member.version = text(item, "version");
        member.on = entry(item, "on", json::value_t::boolean).get<bool>();
        if (!named.emplace(static_cast<int>(member.category), member.folder).second)
            throw ModSetError(ModSetProblem::NamedTwice, member.folder);
        set.members.push_back(std::move(member));
    }
    return set;
}
