#pragma once

#include <QListWidget>

#include <functional>
#include <vector>

struct ModRecord;
class VezModItemWidget;

// The main panel's list of mods: one item per record, each carrying a
// VezModItemWidget. Its scroll bar takes no room; the wheel still scrolls.
//
// A row widget costs far more than its item, so fillRows builds the widgets of
// the rows in and near the view only, and the others when they first come into
// view or are asked for through rowWidgetAt. A row built late reads its record
// then, which is what a refresh of an early one would show.
class VezModList : public QListWidget
{
    Q_OBJECT

public:
    explicit VezModList(QWidget *parent = nullptr);

    // Replaces every row with one per record, in the given order.
    void fillRows(const std::vector<std::reference_wrapper<ModRecord>> &records);
    void refreshRows();
    void updateRowsLanguage();

    // The row widget of the item at `index`, built now if it was not yet; null
    // outside the list. Use this rather than itemWidget().
    VezModItemWidget *rowWidgetAt(int index);

private:
    VezModItemWidget *buildRow(QListWidgetItem *listItem);
    void buildRowsInView();
};
