#include "library/platform/NameRules.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <type_traits>
#include <string_view>

namespace {

template <typename Char>
Char upper(Char c)
{
    return c >= Char('a') && c <= Char('z') ? Char(c - 'a' + 'A') : c;
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9 (also with superscript digits) and the
// console's names; Windows ignores what follows a dot and trailing spaces.
template <typename Char>
bool reservedDevice(const std::basic_string<Char> &part)
{
    std::basic_string<Char> base = part.substr(0, part.find(Char('.')));
    while (!base.empty() && base.back() == Char(' '))
        base.pop_back();
    for (Char &c : base)
        c = upper(c);
    static constexpr std::array<std::string_view, 6> kPlain = {"CON", "PRN", "AUX", "NUL",
                                                               "CONIN$", "CONOUT$"};
    const auto equals = [&base](std::string_view name) {
        return base.size() == name.size() &&
               std::equal(name.begin(), name.end(), base.begin(),
                          [](char a, Char b) { return Char(static_cast<unsigned char>(a)) == b; });
    };
    for (const std::string_view name : kPlain)
        if (equals(name))
            return true;
    if (base.size() < 4)
        return false;
    const std::basic_string<Char> head = base.substr(0, 3);
    const bool port = head == std::basic_string<Char>{Char('C'), Char('O'), Char('M')} ||
                      head == std::basic_string<Char>{Char('L'), Char('P'), Char('T')};
    if (!port)
        return false;
    const std::basic_string<Char> tail = base.substr(3);
    if (tail.size() == 1 && tail[0] >= Char('1') && tail[0] <= Char('9'))
        return true;
    // ¹ ² ³, as UTF-8 bytes or as one UTF-16 unit.
    if constexpr (sizeof(Char) == 1)
        return tail == "\xC2\xB9" || tail == "\xC2\xB2" || tail == "\xC2\xB3";
    else
        return tail.size() == 1 && (tail[0] == 0xB9 || tail[0] == 0xB2 || tail[0] == 0xB3);
}

template <typename Char>
bool refused(const std::basic_string<Char> &part, NameRules rules, RefusalReason &reason)
{
    if (part.size() > kLongestFileName) {
        reason = RefusalReason::NameTooLong;
        return true;
    }
    if (rules != NameRules::Windows)
        return false;
    for (const Char c : part) {
        const auto code = static_cast<std::make_unsigned_t<Char>>(c);
        if (code < 32 || c == Char(':') || c == Char('<') || c == Char('>') || c == Char('"') ||
            c == Char('|') || c == Char('?') || c == Char('*')) {
            reason = RefusalReason::ForbiddenCharacter;
            return true;
        }
    }
    if (!part.empty() && (part.back() == Char('.') || part.back() == Char(' '))) {
        reason = RefusalReason::EndsInDotOrSpace;
        return true;
    }
    if (reservedDevice(part)) {
        reason = RefusalReason::ReservedName;
        return true;
    }
    return false;
}

} // namespace

bool nameRefused(const std::string &part, NameRules rules, RefusalReason &reason)
{
    return refused(part, rules, reason);
}

bool nameRefused(const std::wstring &part, NameRules rules, RefusalReason &reason)
{
    return refused(part, rules, reason);
}

bool namesFoldCase()
{
    return NameRules::ThisSystem == NameRules::Windows;
}

std::filesystem::path::string_type foldedName(const std::filesystem::path::string_type &name)
{
    if (!namesFoldCase())
        return name;
    std::filesystem::path::string_type folded = name;
    for (auto &c : folded)
        c = static_cast<std::filesystem::path::value_type>(std::towupper(static_cast<wint_t>(c)));
    return folded;
}

bool sameFileName(const std::filesystem::path &name, const std::filesystem::path &expected)
{
    return foldedName(name.native()) == foldedName(expected.native());
}
