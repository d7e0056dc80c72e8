#include "VezModList.h"

#include "ModRecord.h"
#include "VezModItemWidget.h"

#include <QScrollBar>
#include <QTextDocument>

#include <optional>
#include <string>

namespace {

constexpr int kRecordRole = Qt::UserRole + 1;

ModRecord *recordOf(const QListWidgetItem *listItem)
{
    return static_cast<ModRecord *>(listItem->data(kRecordRole).value<void *>());
}

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

} // namespace

VezModList::VezModList(QWidget *parent) : QListWidget(parent)
{
    verticalScrollBar()->setStyleSheet(
        QStringLiteral("background-color: rgb(245,158,15); width: 0px;margin: 0px 0px 0px 0px;"));
    // Scrolling and resizing are what bring rows into view.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &VezModList::keepRowsForView);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &VezModList::keepRowsForView);
}

void VezModList::fillRows(const std::vector<std::reference_wrapper<ModRecord>> &records)
{
    clear();
    // All items before any row widget: a visible view re-places every row widget
    // it has whenever an item is inserted.
    for (ModRecord &record : records) {
        auto *listItem = new QListWidgetItem(this);
        listItem->setData(kRecordRole, QVariant::fromValue(static_cast<void *>(&record)));
    }
    std::optional<QSize> sharedHint[2];
    for (int index = 0; index < count(); ++index) {
        QListWidgetItem *listItem = item(index);
        const ModRecord &record = *recordOf(listItem);
        std::optional<QSize> &hint = sharedHint[record.installState ? 1 : 0];
        if (hint && !mayDifferInSize(record)) {
            listItem->setSizeHint(*hint);
            continue;
        }
        const QSize own = buildRow(listItem)->sizeHint();
        if (!hint && !mayDifferInSize(record))
            hint = own;
    }
    keepRowsForView();
}

void VezModList::refreshRows()
{
    for (int index = 0; index < count(); ++index)
        if (auto *rowWidget = qobject_cast<VezModItemWidget *>(itemWidget(item(index))))
            rowWidget->refresh();
}

void VezModList::updateRowsLanguage()
{
    for (int index = 0; index < count(); ++index)
        if (auto *rowWidget = qobject_cast<VezModItemWidget *>(itemWidget(item(index))))
            rowWidget->updateLanguage();
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

// Builds the row of an item; an item without a size hint takes the row's own.
VezModItemWidget *VezModList::buildRow(QListWidgetItem *listItem)
{
    auto *rowWidget = new VezModItemWidget(*recordOf(listItem), this);
    if (!listItem->sizeHint().isValid())
        listItem->setSizeHint(rowWidget->sizeHint());
    setItemWidget(listItem, rowWidget);
    return rowWidget;
}

// Builds the missing rows within one view's height above and below the view,
// and drops the rows far outside it: the view re-places every row widget it has
// on each scroll step, so keeping them all would make scrolling ever slower.
void VezModList::keepRowsForView()
{
    if (count() == 0)
        return;
    executeDelayedItemsLayout();
    const int height = qMax(viewport()->height(), 1);
    const int buildFirst = firstRowReaching(-height);
    const int buildEnd = firstRowReaching(2 * height + 1);
    const int keepFirst = firstRowReaching(-3 * height);
    const int keepEnd = firstRowReaching(4 * height + 1);
    for (int index = 0; index < count(); ++index) {
        if (index >= keepFirst && index < keepEnd)
            continue;
        QListWidgetItem *listItem = item(index);
        if (itemWidget(listItem))
            removeItemWidget(listItem);
    }
    std::vector<QListWidgetItem *> missing;
    for (int index = buildFirst; index < buildEnd; ++index)
        if (!itemWidget(item(index)))
            missing.push_back(item(index));
    for (QListWidgetItem *listItem : missing)
        if (!itemWidget(listItem))
            buildRow(listItem);
}

// The first row whose bottom edge reaches down to y (view coordinates), or
// count(); rows lie top to bottom, so halving finds it.
int VezModList::firstRowReaching(int y) const
{
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (visualItemRect(item(middle)).bottom() < y)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}
