#pragma once

#include "library/viewchoice/SortChoice.h"
#include "settings/UiLanguage.h"

#include <QCollator>
#include <QString>

#include <functional>
#include <map>
#include <utility>
#include <vector>

struct ModRecord;

// Collation keys kept between sorts of the same records, by column and
// language: reversing a column or coming back to one makes no keys anew.
// Clear it whenever the records or their order change.
class SortKeyCache
{
public:
    void clear();
    // The keys of the records in the order sortedRecords was given them.
    std::vector<QCollatorSortKey> &keysFor(SortColumn column, UiLanguage language);

private:
    std::map<std::pair<SortColumn, UiLanguage>, std::vector<QCollatorSortKey>> keys;
};

// The records in the order of the choice. Texts compare as readers of the
// language expect (its collation, digits as numbers); versions by their
// numbers, then by the text after them; the state puts enabled mods first.
// Ties keep the given order, and descending reverses only the comparison.
std::vector<std::reference_wrapper<ModRecord>>
sortedRecords(std::vector<std::reference_wrapper<ModRecord>> records, SortChoice choice,
              UiLanguage language, SortKeyCache *cache = nullptr);

// Negative, zero or positive as `left` sorts before, with or after `right`.
int compareVersions(const QString &left, const QString &right, const QCollator &collator);

// The collator of the language: numeric, ignoring letter case.
QCollator collatorFor(UiLanguage language);
