#include "ui/VezModList.h"

#include "library/ModRecord.h"
#include "ui/VezModItemWidget.h"

#include <QScrollBar>

VezModList::VezModList(QWidget *parent) : QListWidget(parent)
{
    verticalScrollBar()->setStyleSheet(
        QStringLiteral("background-color: rgb(245,158,15); width: 0px;margin: 0px 0px 0px 0px;"));
}

void VezModList::fillRows(const std::vector<std::reference_wrapper<ModRecord>> &records)
{
    clear();
    // Every item first, then the row widgets: a visible view re-places all of its
    // row widgets whenever an item is inserted, which made filling quadratic.
    const int first = count();
    for (size_t index = 0; index < records.size(); ++index)
        new QListWidgetItem(this);
    int position = first;
    for (ModRecord &record : records) {
        QListWidgetItem *listItem = item(position++);
        auto *rowWidget = new VezModItemWidget(record, this);
        listItem->setSizeHint(rowWidget->sizeHint());
        setItemWidget(listItem, rowWidget);
    }
}

void VezModList::refreshRows()
{
    for (int index = 0; index < count(); ++index)
        if (VezModItemWidget *rowWidget = rowWidgetAt(index))
            rowWidget->refresh();
}

void VezModList::updateRowsLanguage()
{
    for (int index = 0; index < count(); ++index)
        if (VezModItemWidget *rowWidget = rowWidgetAt(index))
            rowWidget->updateLanguage();
}

VezModItemWidget *VezModList::rowWidgetAt(int index) const
{
    return qobject_cast<VezModItemWidget *>(itemWidget(item(index)));
}
