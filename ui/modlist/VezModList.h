#pragma once

#include "library/catalogue/DuplicateSelfIds.h"
#include "library/viewchoice/SortChoice.h"
#include "ui/modlist/ModFilter.h"
#include "ui/modlist/ModSort.h"

#include <QListWidget>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class ModNotes;
struct ModRecord;
class VezModItemWidget;

// The main panel's list of mods: one item per record, each carrying a
// VezModItemWidget. Its scroll bar takes no room; the wheel still scrolls.
//
// A row widget costs far more than its item, so only the rows in and near the
// view have one: fillRows builds those, scrolling builds the rows that come
// near and drops those left far behind, and rowWidgetAt builds one on request.
// A sort hands the widgets of rows leaving the view to rows coming into it.
// A row built late reads its record then, which is what a refresh of an
// earlier one would show; refreshRows and updateRowsLanguage reach the rows
// that exist.
//
// A filter hides the rows whose record does not match; hidden rows have no
// widget. It stays set when the rows are replaced. Rows whose self_ID another
// record declares too are marked when built.
//
// Keys: the arrows, Page Up/Down, Home and End move the current row, Space
// presses its Install/Uninstall and Enter its open. Printable keys are left to
// the window, which filters with them. A right click, the Menu key or
// Shift+F10 asks for a row's menu.
//
// A sort choice orders the rows (and stays set when they are replaced);
// notes mark their rows and are matched by the filter.
class VezModList : public QListWidget
{
    Q_OBJECT

public:
    explicit VezModList(QWidget *parent = nullptr);

    // Replaces every row with one per record, in the given order.
    void fillRows(const std::vector<std::reference_wrapper<ModRecord>> &records);
    void refreshRows();
    void updateRowsLanguage();

    // The row widget of the item at `index`, built now if it has none; null
    // outside the list. Use this rather than itemWidget(), and do not keep the
    // pointer across scrolling or sorting.
    VezModItemWidget *rowWidgetAt(int index);

    // Shows only the rows that match; an empty text shows them all.
    void setFilterText(const QString &text);
    QString filterText() const;
    int shownRowCount() const;
    // -1 when no row is shown.
    int firstShownRow() const;

    // Orders the rows; the current mod stays current. Nothing moves on disk.
    void setSortChoice(SortChoice choice);
    SortChoice sortChoice() const;
    // The notes to mark rows with and to filter by (null: none); call
    // notesChanged after each change to them.
    void setNotes(const ModNotes *modNotes);
    void notesChanged();
    // The record of a row; null outside the list.
    ModRecord *recordAt(int index) const;
    // The records of the rows shown, top to bottom.
    std::vector<std::reference_wrapper<ModRecord>> shownRecords() const;

signals:
    // A row's menu is asked for, to open at the global position.
    void rowMenuRequested(int row, QPoint globalPosition);
    // After every change of the rows shown: a filter, a fill or a refresh.
    void shownRowsChanged(int shown, int total);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void rebuildItems();
    void findNotes();
    void requestMenuForCurrentRow();
    VezModItemWidget *buildRow(QListWidgetItem *listItem);
    void markRow(VezModItemWidget *rowWidget, std::size_t index);
    std::vector<int> lendRowWidgets(const std::vector<bool> &placedHidden);
    void applyFilter();
    void keepRowsForView();
    std::size_t firstShownReaching(int y) const;
    bool pressCurrentRowButton(const char *buttonName);

    std::vector<std::reference_wrapper<ModRecord>> catalogueRecords; // as given to fillRows
    std::vector<std::reference_wrapper<ModRecord>> records;          // in the order shown
    SortChoice sort;
    SortKeyCache sortKeys; // of catalogueRecords
    const ModNotes *notes = nullptr;
    std::unordered_map<const ModRecord *, const std::string *> notesByRecord;
    std::vector<const std::string *> rowNotes; // by row; null where a mod has no note
    DuplicateSelfIds duplicates;
    ModFilter filter;
    std::vector<int> shownRows;  // rows not hidden by the filter, top to bottom
    std::vector<bool> hiddenRows; // by row
    std::vector<int> builtRows;  // the rows that have a widget, in no order
    bool onlyRowsInView = false; // while filtering: build no rows outside the view
};
