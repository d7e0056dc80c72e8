#include "library/sets/ModSetError.h"

#include <utility>

namespace {

std::string sentence(ModSetProblem problem, const std::string &detail)
{
    static const char *const texts[] = {
        "not a set file, or cut short", "an entry is missing or of the wrong kind",
        "made by a newer version of the program", "names an unknown category",
        "a folder name leads outside the mods folder", "names the same mod twice",
        "not a set code", "the code is damaged or cut short", "too large", "the set has no name"};
    std::string text = texts[static_cast<int>(problem)];
    if (!detail.empty())
        text += ": " + detail;
    return text;
}

} // namespace

ModSetError::ModSetError(ModSetProblem problem, std::string detail)
    : std::runtime_error(sentence(problem, detail)), m_problem(problem), m_detail(std::move(detail))
{}

ModSetProblem ModSetError::problem() const
{
    return m_problem;
}

const std::string &ModSetError::detail() const
{
    return m_detail;
}
