#include "ui/modlist/ModSort.h"

#include "library/catalogue/ModRecord.h"
#include "ui/modlist/VezModItemWidget.h"

#include <QCollator>
#include <QLocale>
#include <QStringView>

#include <algorithm>
#include <numeric>
#include <string>

namespace {

QString fromUtf8(const std::string &bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// A version's leading numbers ("v1.10.2" gives 1, 10, 2) and the text after them.
struct VersionParts
{
    QList<QStringView> numbers; // digits without leading zeros
    QStringView rest;
};

bool isAsciiDigit(QChar character)
{
    return character >= u'0' && character <= u'9';
}

VersionParts versionParts(const QString &version)
{
    VersionParts parts;
    QStringView text = QStringView(version).trimmed();
    if (text.size() > 1 && (text.front() == u'v' || text.front() == u'V') && isAsciiDigit(text[1]))
        text = text.mid(1);
    while (!text.isEmpty() && isAsciiDigit(text.front())) {
        qsizetype end = 0;
        while (end < text.size() && isAsciiDigit(text[end]))
            ++end;
        QStringView number = text.left(end);
        while (number.size() > 1 && number.front() == u'0')
            number = number.mid(1);
        parts.numbers.append(number);
        text = text.mid(end);
        if (text.size() > 1 && text.front() == u'.' && isAsciiDigit(text[1]))
            text = text.mid(1);
        else
            break;
    }
    parts.rest = text;
    return parts;
}

int compareNumbers(QStringView left, QStringView right)
{
    if (left.size() != right.size())
        return left.size() < right.size() ? -1 : 1;
    return left.compare(right);
}

int compareParts(const VersionParts &a, const VersionParts &b, const QCollator &collator)
{
    const qsizetype common = std::min(a.numbers.size(), b.numbers.size());
    for (qsizetype index = 0; index < common; ++index)
        if (const int order = compareNumbers(a.numbers[index], b.numbers[index]))
            return order;
    if (a.numbers.size() != b.numbers.size())
        return a.numbers.size() < b.numbers.size() ? -1 : 1;
    return collator.compare(a.rest, b.rest);
}

} // namespace

QCollator collatorFor(UiLanguage language)
{
    QLocale locale(QLocale::English, QLocale::UnitedStates);
    if (language == UiLanguage::Chinese)
        locale = QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    else if (language == UiLanguage::Russian)
        locale = QLocale(QLocale::Russian, QLocale::Russia);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

int compareVersions(const QString &left, const QString &right, const QCollator &collator)
{
    return compareParts(versionParts(left), versionParts(right), collator);
}

void SortKeyCache::clear()
{
    keys.clear();
}

std::vector<QCollatorSortKey> &SortKeyCache::keysFor(SortColumn column, UiLanguage language)
{
    return keys[{column, language}];
}

std::vector<std::reference_wrapper<ModRecord>>
sortedRecords(std::vector<std::reference_wrapper<ModRecord>> records, SortChoice choice,
              UiLanguage language, SortKeyCache *cache)
{
    if (choice.column == SortColumn::Catalogue)
        return records;
    const int direction = choice.descending ? -1 : 1;
    std::vector<std::size_t> order(records.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto arrange = [&](const auto &compare) {
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return direction * compare(a, b) < 0;
        });
    };

    if (choice.column == SortColumn::State) {
        arrange([&](std::size_t a, std::size_t b) {
            return int(records[b].get().installState) - int(records[a].get().installState);
        });
    } else if (choice.column == SortColumn::Version) {
        const QCollator collator = collatorFor(language);
        std::vector<QString> versions;
        versions.reserve(records.size());
        for (const ModRecord &record : records)
            versions.push_back(fromUtf8(record.version));
        std::vector<VersionParts> parts;
        parts.reserve(records.size());
        for (const QString &version : versions)
            parts.push_back(versionParts(version));
        // The views point into `versions`, which outlives the sort.
        arrange([&](std::size_t a, std::size_t b) { return compareParts(parts[a], parts[b], collator); });
    } else {
        std::vector<QCollatorSortKey> ownKeys;
        std::vector<QCollatorSortKey> &keys =
            cache ? cache->keysFor(choice.column, language) : ownKeys;
        const QCollator collator = collatorFor(language);
        if (keys.size() != records.size())
            keys.clear();
        for (std::size_t index = keys.size(); index < records.size(); ++index) {
            const ModRecord &record = records[index];
            const QString text = choice.column == SortColumn::SelfId ? fromUtf8(record.self_ID)
                                 : choice.column == SortColumn::Name
                                     ? VezModItemWidget::rowName(record)
                                     : fromUtf8(record.developerName);
            keys.push_back(collator.sortKey(text));
        }
        arrange([&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]); });
    }

    std::vector<std::reference_wrapper<ModRecord>> sorted;
    sorted.reserve(records.size());
    for (const std::size_t index : order)
        sorted.push_back(records[index]);
    return sorted;
}
