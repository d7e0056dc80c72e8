#pragma once

#include "library/sets/ModSet.h"

#include <string>
#include <string_view>

// A set as one line of text for chat and e-mail:
//   tessel3-set:<version>:<payload>:<checksum>
// the payload being the set's JSON, deflated, in base64url without padding,
// and the checksum the CRC-32 of everything before it, as eight hex digits.
// Only letters, digits, '-', '_' and ':' occur: no spaces, no line breaks,
// nothing a chat program would take for a link or markup.
inline constexpr char kShareCodePrefix[] = "tessel3-set:";

std::string modSetToShareCode(const ModSet &set);

// Reads a code, ignoring white space around it and line breaks inside it
// (mail programs fold long lines). Throws ModSetError: NotACode without the
// prefix, UnknownVersion for another version, CodeDamaged when the checksum,
// the encoding or the packing is wrong (a changed or cut character), and the
// set file's problems for what it unpacks to.
ModSet modSetFromShareCode(std::string_view code);
