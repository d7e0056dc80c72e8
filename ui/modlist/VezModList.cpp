#include "ui/modlist/VezModList.h"

#include "library/catalogue/ModRecord.h"
#include "library/notes/ModNotes.h"
#include "ui/modlist/CurrentRowDelegate.h"
#include "ui/modlist/ModSort.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/QtPathText.h"
#include "ui/modlist/VezModItemWidget.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>

#include <optional>
#include <string>
#include <utility>

namespace {

bool mayTakeMoreThanOneLine(const std::string &text)
{
    if (text.find_first_of("\r\n") != std::string::npos)
        return true;
    return Qt::mightBeRichText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

// Rows of one state share their size hint, since every width but the state and
// button texts is fixed and the buttons set the height; only a label that may
// take more than one line can make a row differ.
bool mayDifferInSize(const ModRecord &record)
{
    return mayTakeMoreThanOneLine(record.self_ID) || mayTakeMoreThanOneLine(record.displayName) ||
           mayTakeMoreThanOneLine(record.shortName) ||
           mayTakeMoreThanOneLine(record.developerName) || mayTakeMoreThanOneLine(record.version);
}

// An item that sorts by the place its record takes in the order chosen, so
// that sorting moves the items, their row widgets and the current row along
// instead of building them anew.
class PlacedItem : public QListWidgetItem
{
public:
    explicit PlacedItem(QListWidget *list) : QListWidgetItem(list) {}

    bool operator<(const QListWidgetItem &other) const override
    {
        return place < static_cast<const PlacedItem &>(other).place;
    }

    std::size_t place = 0;
};

} // namespace

VezModList::VezModList(QWidget *parent) : QListWidget(parent)
{
    verticalScrollBar()->setStyleSheet(
        QStringLiteral("background-color: rgb(245,158,15); width: 0px;margin: 0px 0px 0px 0px;"));
    setItemDelegate(new CurrentRowDelegate(this));
    // Scrolling and resizing are what bring rows into view.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &VezModList::keepRowsForView);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &VezModList::keepRowsForView);
}

void VezModList::fillRows(const std::vector<std::reference_wrapper<ModRecord>> &newRecords)
{
    catalogueRecords = newRecords;
    sortKeys.clear();
    findNotes();
    records = sortedRecords(catalogueRecords, sort, currentLanguage, &sortKeys);
    rebuildItems();
}

void VezModList::rebuildItems()
{
    clear();
    shownRows.clear();
    builtRows.clear();
    hiddenRows.assign(records.size(), false);
    rowNotes.clear();
    if (!notesByRecord.empty())
        for (const ModRecord &record : records) {
            const auto found = notesByRecord.find(&record);
            rowNotes.push_back(found == notesByRecord.end() ? nullptr : found->second);
        }
    rowNotes.resize(records.size(), nullptr);
    duplicates = DuplicateSelfIds(records);
    // All items before any row widget: a visible view re-places every row widget
    // it has whenever an item is inserted.
    for (std::size_t index = 0; index < records.size(); ++index) {
        new PlacedItem(this);
        shownRows.push_back(static_cast<int>(index)); // until the filter has had its say
    }
    std::optional<QSize> sharedHint[2];
    for (int index = 0; index < count(); ++index) {
        QListWidgetItem *listItem = item(index);
        const ModRecord &record = records[static_cast<std::size_t>(index)];
        std::optional<QSize> &hint = sharedHint[record.installState ? 1 : 0];
        if (hint && !mayDifferInSize(record)) {
            listItem->setSizeHint(*hint);
            continue;
        }
        const QSize own = buildRow(listItem)->sizeHint();
        if (!hint && !mayDifferInSize(record))
            hint = own;
    }
    applyFilter();
}

void VezModList::refreshRows()
{
    sortKeys.clear(); // a refresh may read other texts
    for (int index = 0; index < count(); ++index)
        if (auto *rowWidget = qobject_cast<VezModItemWidget *>(itemWidget(item(index))))
            rowWidget->refresh();
    // A refresh re-reads the records, and with them the texts the filter looks at.
    if (!filter.isEmpty())
        applyFilter();
}

void VezModList::updateRowsLanguage()
{
    for (int index = 0; index < count(); ++index)
        if (auto *rowWidget = qobject_cast<VezModItemWidget *>(itemWidget(item(index))))
            rowWidget->updateLanguage();
    // Texts sort by the collation of the language.
    if (sort.column != SortColumn::Catalogue && sort.column != SortColumn::State)
        setSortChoice(sort);
}

void VezModList::setSortChoice(SortChoice choice)
{
    sort = choice;
    std::vector<std::reference_wrapper<ModRecord>> sorted =
        sortedRecords(catalogueRecords, sort, currentLanguage, &sortKeys);
    if (sorted.size() != records.size() || records.empty()) {
        records = std::move(sorted);
        rebuildItems();
        return;
    }
    std::unordered_map<const ModRecord *, std::size_t> place;
    place.reserve(sorted.size());
    for (std::size_t index = 0; index < sorted.size(); ++index)
        place.emplace(&sorted[index].get(), index);
    std::vector<bool> placedHidden(records.size());
    std::vector<const std::string *> placedNotes(records.size());
    for (std::size_t index = 0; index < records.size(); ++index) {
        const std::size_t to = place.at(&records[index].get());
        static_cast<PlacedItem *>(item(static_cast<int>(index)))->place = to;
        placedHidden[to] = hiddenRows[index];
        placedNotes[to] = rowNotes[index];
    }
    const std::vector<int> lentRows = lendRowWidgets(placedHidden);
    for (int &built : builtRows)
        built = static_cast<int>(static_cast<PlacedItem *>(item(built))->place);
    records = std::move(sorted);
    hiddenRows = std::move(placedHidden);
    rowNotes = std::move(placedNotes);
    duplicates = DuplicateSelfIds(records);
    // Items, row widgets, hidden rows and the current row all move with their places.
    sortItems(Qt::AscendingOrder);
    for (const int index : lentRows) {
        auto *rowWidget = static_cast<VezModItemWidget *>(itemWidget(item(index)));
        rowWidget->showRecord(records[static_cast<std::size_t>(index)]);
        markRow(rowWidget, static_cast<std::size_t>(index));
    }
    shownRows.clear();
    for (std::size_t index = 0; index < records.size(); ++index)
        if (!hiddenRows[index])
            shownRows.push_back(static_cast<int>(index));
    // A click waits for what it shows; scrolling builds the rows around it later.
    onlyRowsInView = true;
    keepRowsForView();
    onlyRowsInView = false;
}

SortChoice VezModList::sortChoice() const
{
    return sort;
}

void VezModList::setNotes(const ModNotes *modNotes)
{
    notes = modNotes;
    notesChanged();
}

void VezModList::notesChanged()
{
    findNotes();
    for (std::size_t index = 0; index < records.size(); ++index) {
        const auto found = notesByRecord.find(&records[index].get());
        rowNotes[index] = found == notesByRecord.end() ? nullptr : found->second;
    }
    for (const int index : builtRows)
        if (auto *rowWidget = qobject_cast<VezModItemWidget *>(itemWidget(item(index)))) {
            const std::string *note = rowNotes[static_cast<std::size_t>(index)];
            rowWidget->showNote(note ? QString::fromStdString(*note) : QString());
        }
    if (!filter.isEmpty())
        applyFilter();
}

// Looked up once per fill: finding a mod's note takes path work.
void VezModList::findNotes()
{
    notesByRecord.clear();
    if (!notes)
        return;
    for (const ModRecord &record : catalogueRecords)
        if (const std::string *note = notes->noteOf(record))
            notesByRecord.emplace(&record, note);
}

ModRecord *VezModList::recordAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= records.size())
        return nullptr;
    return &records[static_cast<std::size_t>(index)].get();
}

std::vector<std::reference_wrapper<ModRecord>> VezModList::shownRecords() const
{
    std::vector<std::reference_wrapper<ModRecord>> shown;
    shown.reserve(shownRows.size());
    for (const int index : shownRows)
        shown.push_back(records[static_cast<std::size_t>(index)]);
    return shown;
}

VezModItemWidget *VezModList::rowWidgetAt(int index)
{
    QListWidgetItem *listItem = item(index);
    if (!listItem)
        return nullptr;
    if (auto *rowWidget = qobject_cast<VezModItemWidget *>(itemWidget(listItem)))
        return rowWidget;
    return buildRow(listItem);
}

void VezModList::setFilterText(const QString &text)
{
    if (text == filter.text())
        return;
    filter = ModFilter(text);
    // A key press waits for what it shows; scrolling builds the rows around it later.
    onlyRowsInView = true;
    applyFilter();
    onlyRowsInView = false;
}

QString VezModList::filterText() const
{
    return filter.text();
}

int VezModList::shownRowCount() const
{
    return static_cast<int>(shownRows.size());
}

int VezModList::firstShownRow() const
{
    return shownRows.empty() ? -1 : shownRows.front();
}

void VezModList::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        if (pressCurrentRowButton("installButton"))
            return;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (pressCurrentRowButton("openButton"))
            return;
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        // The first and last rows may be filtered out.
        if (!shownRows.empty() && !(event->modifiers() & Qt::ShiftModifier)) {
            setCurrentRow(event->key() == Qt::Key_Home ? shownRows.front() : shownRows.back());
            return;
        }
        break;
    case Qt::Key_Escape:
        event->ignore(); // closes the window's filter field
        return;
    case Qt::Key_F10:
        if (event->modifiers() == Qt::ShiftModifier) {
            requestMenuForCurrentRow();
            return;
        }
        break;
    default:
        if (isFilterKey(*event)) {
            event->ignore();
            return;
        }
        break;
    }
    QListWidget::keyPressEvent(event);
}

// The current row comes into view (the base class scrolls to it) and gets its widget.
void VezModList::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QListWidget::currentChanged(current, previous);
    if (current.isValid() && !isRowHidden(current.row()))
        rowWidgetAt(current.row());
}

// The Menu key arrives here too, as the window system turns it into this event.
void VezModList::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() != QContextMenuEvent::Mouse) {
        requestMenuForCurrentRow();
        return;
    }
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid() || isRowHidden(index.row()))
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    emit rowMenuRequested(index.row(), event->globalPos());
}

void VezModList::requestMenuForCurrentRow()
{
    const int current = currentRow();
    if (current < 0 || isRowHidden(current))
        return;
    scrollToItem(item(current));
    const QRect rowArea = visualItemRect(item(current));
    emit rowMenuRequested(current, viewport()->mapToGlobal(rowArea.bottomLeft() + QPoint(20, 0)));
}

// Builds the row of an item; an item without a size hint takes the row's own.
VezModItemWidget *VezModList::buildRow(QListWidgetItem *listItem)
{
    const auto index = static_cast<std::size_t>(row(listItem));
    auto *rowWidget = new VezModItemWidget(records[index], this);
    markRow(rowWidget, index);
    if (!listItem->sizeHint().isValid())
        listItem->setSizeHint(rowWidget->sizeHint());
    setItemWidget(listItem, rowWidget);
    builtRows.push_back(static_cast<int>(index));
    return rowWidget;
}

// The duplicate mark and the note of the row at `index`.
void VezModList::markRow(VezModItemWidget *rowWidget, std::size_t index)
{
    if (duplicates.isDuplicate(index)) {
        QStringList folders;
        for (const std::size_t other : duplicates.othersOf(index))
            folders.append(QDir::toNativeSeparators(qStringFromPath(records[other].get().modFolder())));
        rowWidget->markDuplicate(folders);
    }
    if (const std::string *note = rowNotes[index])
        rowWidget->showNote(QString::fromStdString(*note));
}

// Before a reorder, with each item's place set: items whose row widget will
// land outside the view trade places with items that will land in it without
// one, so that the widget shows the other record there instead of a new one
// being built. They trade places and size hints, so only items alike in
// hidden state, currency and selection trade. Returns the rows (after the
// reorder) whose widget must show its new record.
std::vector<int> VezModList::lendRowWidgets(const std::vector<bool> &placedHidden)
{
    executeDelayedItemsLayout();
    const int height = qMax(viewport()->height(), 1);
    // The view keeps its scroll position, so the same places among the shown rows come into it.
    const std::size_t viewFirst = firstShownReaching(0);
    // The row cut off at the bottom counts too.
    const std::size_t viewEnd = qMin(firstShownReaching(height + 1) + 1, shownRows.size());
    std::vector<int> placedShown;
    placedShown.reserve(shownRows.size());
    for (std::size_t index = 0; index < placedHidden.size(); ++index)
        if (!placedHidden[index])
            placedShown.push_back(static_cast<int>(index));
    if (viewFirst >= viewEnd || viewEnd > placedShown.size())
        return {};
    std::vector<PlacedItem *> itemAt(placedHidden.size());
    for (int index = 0; index < count(); ++index) {
        auto *placed = static_cast<PlacedItem *>(item(index));
        itemAt[placed->place] = placed;
    }
    const int inViewFirst = placedShown[viewFirst];
    const int inViewLast = placedShown[viewEnd - 1];
    const auto tradable = [this](QListWidgetItem *listItem) {
        return listItem != currentItem() && !listItem->isSelected() && !listItem->isHidden();
    };
    std::vector<PlacedItem *> lenders;
    for (const int index : builtRows) {
        auto *placed = static_cast<PlacedItem *>(item(index));
        const int to = static_cast<int>(placed->place);
        if ((to < inViewFirst || to > inViewLast) && itemWidget(placed) && tradable(placed))
            lenders.push_back(placed);
    }
    std::vector<int> lent;
    for (std::size_t shown = viewFirst; shown < viewEnd && !lenders.empty(); ++shown) {
        PlacedItem *needing = itemAt[static_cast<std::size_t>(placedShown[shown])];
        if (itemWidget(needing) || !tradable(needing))
            continue;
        PlacedItem *lender = lenders.back();
        lenders.pop_back();
        // Each record keeps its row's size.
        std::swap(lender->place, needing->place);
        const QSize lenderHint = lender->sizeHint();
        lender->setSizeHint(needing->sizeHint());
        needing->setSizeHint(lenderHint);
        lent.push_back(static_cast<int>(lender->place));
    }
    return lent;
}

// Hides the rows the filter leaves out, keeps the current row among those shown
// (or moves it to the first of them), and brings the rows in view up to date.
void VezModList::applyFilter()
{
    shownRows.clear();
    shownRows.reserve(records.size());
    for (int index = 0; index < count(); ++index) {
        const auto at = static_cast<std::size_t>(index);
        const bool show = filter.matches(records[at], rowNotes[at]);
        // The view's own test for a hidden row costs two hash look-ups.
        if (hiddenRows[at] == show) {
            setRowHidden(index, !show);
            hiddenRows[at] = !show;
        }
        if (show)
            shownRows.push_back(index);
    }
    // Moving the current row here selects nothing: only the user selects.
    const int current = currentRow();
    if (current >= 0 && isRowHidden(current))
        selectionModel()->setCurrentIndex(
            shownRows.empty() ? QModelIndex() : indexFromItem(item(shownRows.front())),
            QItemSelectionModel::NoUpdate);
    keepRowsForView();
    emit shownRowsChanged(shownRowCount(), count());
}

// Builds the missing rows in the view and, unless only those are asked for,
// within one view's height above and below it; drops the hidden rows and those
// far outside the view: the view re-places every row widget it has on each
// scroll step, so keeping them all would make scrolling ever slower.
void VezModList::keepRowsForView()
{
    if (count() == 0)
        return;
    executeDelayedItemsLayout();
    const int height = qMax(viewport()->height(), 1);
    const int margin = onlyRowsInView ? 0 : height;
    const std::size_t buildFirst = firstShownReaching(-margin);
    const std::size_t buildEnd = firstShownReaching(height + margin + 1);
    const std::size_t keepFirst = firstShownReaching(-3 * height);
    const std::size_t keepEnd = firstShownReaching(4 * height + 1);
    const int keepTop = keepFirst < keepEnd ? shownRows[keepFirst] : count();
    const int keepBottom = keepFirst < keepEnd ? shownRows[keepEnd - 1] : -1;
    // Taken out first: what a row's removal sets off may come back here.
    const std::vector<int> built = std::exchange(builtRows, {});
    for (const int index : built) {
        if (index >= keepTop && index <= keepBottom && !hiddenRows[static_cast<std::size_t>(index)])
            builtRows.push_back(index);
        else
            removeItemWidget(item(index));
    }
    std::vector<QListWidgetItem *> missing;
    for (std::size_t shown = buildFirst; shown < buildEnd; ++shown)
        if (!itemWidget(item(shownRows[shown])))
            missing.push_back(item(shownRows[shown]));
    for (QListWidgetItem *listItem : missing)
        if (!itemWidget(listItem))
            buildRow(listItem);
}

// The position among the shown rows of the first one whose bottom edge reaches
// down to y (view coordinates), or their number; they lie top to bottom, so
// halving finds it.
std::size_t VezModList::firstShownReaching(int y) const
{
    std::size_t low = 0;
    std::size_t high = shownRows.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (visualItemRect(item(shownRows[middle])).bottom() < y)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

bool VezModList::pressCurrentRowButton(const char *buttonName)
{
    const int current = currentRow();
    if (current < 0 || isRowHidden(current))
        return false;
    VezModItemWidget *rowWidget = rowWidgetAt(current);
    auto *button = rowWidget ? rowWidget->findChild<QPushButton *>(QString::fromLatin1(buttonName))
                             : nullptr;
    if (!button)
        return false;
    button->click();
    return true;
}
