#pragma once

#include "library/catalogue/DuplicateSelfIds.h"
#include "ui/modlist/ModFilter.h"

#include <QListWidget>

#include <functional>
#include <vector>

struct ModRecord;
class VezModItemWidget;

// The main panel's list of mods: one item per record, each carrying a
// VezModItemWidget. Its scroll bar takes no room; the wheel still scrolls.
//
// A row widget costs far more than its item, so only the rows in and near the
// view have one: fillRows builds those, scrolling builds the rows that come
// near and drops those left far behind, and rowWidgetAt builds one on request.
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
// the window, which filters with them.
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
    // pointer across scrolling.
    VezModItemWidget *rowWidgetAt(int index);

    // Shows only the rows that match; an empty text shows them all.
    void setFilterText(const QString &text);
    QString filterText() const;
    int shownRowCount() const;
    // -1 when no row is shown.
    int firstShownRow() const;

signals:
    // After every change of the rows shown: a filter, a fill or a refresh.
    void shownRowsChanged(int shown, int total);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    VezModItemWidget *buildRow(QListWidgetItem *listItem);
    void applyFilter();
    void keepRowsForView();
    std::size_t firstShownReaching(int y) const;
    bool pressCurrentRowButton(const char *buttonName);

    std::vector<std::reference_wrapper<ModRecord>> records;
    DuplicateSelfIds duplicates;
    ModFilter filter;
    std::vector<int> shownRows;  // rows not hidden by the filter, top to bottom
    std::vector<bool> hiddenRows; // by row
    std::vector<int> builtRows;  // the rows that have a widget, in no order
    bool onlyRowsInView = false; // while filtering: build no rows outside the view
};
