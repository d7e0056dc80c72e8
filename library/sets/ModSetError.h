#pragma once

#include <stdexcept>
#include <string>

// Why a set file or a set code was refused.
enum class ModSetProblem
{
    NotJson,         // not JSON, or cut short
    WrongShape,      // a required entry missing or of the wrong kind
    UnknownVersion,  // a format version this program does not know
    UnknownCategory,
    UnsafeFolder,    // a folder name that is not one plain name
    NamedTwice,      // two members with the same category and folder
    NotACode,
    CodeDamaged,     // checksum or encoding wrong: changed or cut short
    TooLarge,
    EmptyName,
};

// A refused set: the problem and, where there is one, what it concerns (a
// member's folder, a file name). what() is an English sentence for logs.
class ModSetError : public std::runtime_error
{
public:
    ModSetError(ModSetProblem problem, std::string detail = {});

    ModSetProblem problem() const;
    const std::string &detail() const;

private:
    ModSetProblem m_problem;
    std::string m_detail;
};
