#pragma once

#include <QListWidget>

#include <functional>
#include <vector>

struct ModRecord;
class VezModItemWidget;

// The main panel's list of mods: one item per record, each carrying a
// VezModItemWidget. Its scroll bar takes no room; the wheel still scrolls.
class VezModList : public QListWidget
{
    Q_OBJECT

public:
    explicit VezModList(QWidget *parent = nullptr);

    // Replaces every row with one per record, in the given order.
    void fillRows(const std::vector<std::reference_wrapper<ModRecord>> &records);
    void refreshRows();
    void updateRowsLanguage();

    // The row widget of the item at `index`; null when there is none.
    VezModItemWidget *rowWidgetAt(int index) const;
};
