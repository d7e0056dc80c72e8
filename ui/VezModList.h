#pragma once

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

private:
    VezModItemWidget *buildRow(QListWidgetItem *listItem);
    void keepRowsForView();
    int firstRowReaching(int y) const;
};
