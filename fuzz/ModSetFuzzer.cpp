// Bytes in as a set file and as a set code: either is refused with a
// ModSetError or read into a set that writes back to the same set, through
// both the file and the code.

#include "fuzz/FuzzCheck.h"
#include "library/sets/ModSetError.h"
#include "library/sets/ModSetJson.h"
#include "library/sets/ShareCode.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool sameSet(const ModSet &a, const ModSet &b)
{
    if (a.name != b.name || a.members.size() != b.members.size())
        return false;
    for (std::size_t i = 0; i < a.members.size(); ++i) {
        const ModSetMember &x = a.members[i];
        const ModSetMember &y = b.members[i];
        if (x.category != y.category || x.folder != y.folder || x.selfId != y.selfId ||
            x.name != y.name || x.version != y.version || x.on != y.on)
            return false;
    }
    return true;
}

void checkRoundTrip(const ModSet &set)
{
    fuzzCheck(!set.name.empty(), "a set read has a name");
    for (const ModSetMember &member : set.members)
        fuzzCheck(isPlainFolderName(member.folder), "a member's folder is one plain name");
    fuzzCheck(sameSet(modSetFromJson(modSetToJson(set)), set), "file round trip");
    fuzzCheck(sameSet(modSetFromShareCode(modSetToShareCode(set)), set), "code round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    try {
        checkRoundTrip(modSetFromJson(bytes));
    } catch (const ModSetError &) {
    }
    try {
        checkRoundTrip(modSetFromShareCode(bytes));
    } catch (const ModSetError &) {
    }
    return 0;
}
