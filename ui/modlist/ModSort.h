#pragma once

#include "library/viewchoice/SortChoice.h"
#include "settings/UiLanguage.h"

#include <QString>

#include <functional>
#include <vector>

class QCollator;
struct ModRecord;

// The records in the order of the choice. Texts compare as readers of the
// language expect (its collation, digits as numbers); versions by their
// numbers, then by the text after them; the state puts enabled mods first.
// Ties keep the given order, and descending reverses only the comparison.
std::vector<std::reference_wrapper<ModRecord>>
sortedRecords(std::vector<std::reference_wrapper<ModRecord>> records, SortChoice choice,
              UiLanguage language);

// Negative, zero or positive as `left` sorts before, with or after `right`.
int compareVersions(const QString &left, const QString &right, const QCollator &collator);

// The collator of the language: numeric, ignoring letter case.
QCollator collatorFor(UiLanguage language);
