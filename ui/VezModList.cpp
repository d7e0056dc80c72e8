#include "ui/VezModList.h"

#include "library/ModRecord.h"
#include "ui/VezModItemWidget.h"

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
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &VezModList::buildRowsInView);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &VezModList::buildRowsInView);
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
    buildRowsInView();
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

// Builds the missing rows within one view's height above and below the view.
void VezModList::buildRowsInView()
{
    if (count() == 0)
        return;
    executeDelayedItemsLayout();
    const int height = qMax(viewport()->height(), 1);
    const int top = -height;
    const int bottom = 2 * height;
    // Rows lie top to bottom, so the first one that reaches the band is found by halving.
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (visualItemRect(item(middle)).bottom() < top)
            low = middle + 1;
        else
            high = middle;
    }
    std::vector<QListWidgetItem *> missing;
    for (int index = low; index < count(); ++index) {
        QListWidgetItem *listItem = item(index);
        if (visualItemRect(listItem).top() > bottom)
            break;
        if (!itemWidget(listItem))
            missing.push_back(listItem);
    }
    for (QListWidgetItem *listItem : missing)
        if (!itemWidget(listItem))
            buildRow(listItem);
}
