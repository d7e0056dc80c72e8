#include "ui/modlist/ModFilterBar.h"

#include "ui/status/CommandGuard.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/modlist/ModFilter.h"
#include "ui/texts/UiTexts.h"
#include "ui/modlist/VezModList.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStatusBar>

namespace {

constexpr int kWidth = 260;
constexpr int kHeight = 24;
constexpr int kRightMargin = 24;

} // namespace

ModFilterBar::ModFilterBar(VezModList *list, QWidget *panel)
    : QWidget(panel), list(list), panel(panel), field(new QLineEdit(this)), count(new QLabel(this))
{
    setObjectName(QStringLiteral("filterBar"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral(
        "#filterBar{background-color:rgb(39,39,39);border:1px solid rgb(245,158,15);"
        "border-radius:4px}"
        "#filterEdit{color:white;background-color:rgb(39,39,39);border:none}"
        "#filterCount{color:rgb(245,158,15);font-weight:bold}"));
    field->setObjectName(QStringLiteral("filterEdit"));
    field->setClearButtonEnabled(false);
    // Files dropped here are for the panel to import, not text for the filter.
    field->setAcceptDrops(false);
    count->setObjectName(QStringLiteral("filterCount"));
    count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 1, 6, 1);
    layout->setSpacing(6);
    layout->addWidget(field, 1);
    layout->addWidget(count);

    connect(field, &QLineEdit::textChanged, list, &VezModList::setFilterText);
    connect(list, &VezModList::shownRowsChanged, this, &ModFilterBar::showCount);
    auto *find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), panel);
    connect(find, &QShortcut::activated, this, [this] { open(); });
    field->installEventFilter(this);
    // Keys that no widget of the panel takes come up to the panel itself.
    panel->installEventFilter(this);

    // Room kept free in the status bar while the field is open, so that its
    // messages end before the field instead of running under it.
    if (QStatusBar *statusBar = statusBarOf(panel)) {
        statusRoom = new QWidget(statusBar);
        statusRoom->setObjectName(QStringLiteral("filterStatusRoom"));
        statusRoom->setFixedSize(kWidth + kRightMargin, 0);
        statusBar->addPermanentWidget(statusRoom);
        statusRoom->hide();
    }

    updateLanguage();
    showCount(list->shownRowCount(), list->count());
    placeAtBottomEdge();
    hide();
}

void ModFilterBar::open(const QString &typed)
{
    if (!typed.isEmpty())
        field->insert(typed);
    placeAtBottomEdge();
    if (statusRoom)
        statusRoom->show();
    show();
    raise();
    // Not a shortcut focus, which would select the text for the next key to replace.
    field->setFocus(Qt::OtherFocusReason);
}

void ModFilterBar::close()
{
    field->clear();
    hide();
    if (statusRoom)
        statusRoom->hide();
    list->setFocus(Qt::OtherFocusReason);
}

bool ModFilterBar::isOpen() const
{
    return !isHidden();
}

void ModFilterBar::updateLanguage()
{
    if (const auto text = languageText(UiTexts::filterEdit, currentLanguage))
        field->setPlaceholderText(*text);
}

bool ModFilterBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == panel && event->type() == QEvent::Resize)
        placeAtBottomEdge();
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == field)
        return handleFieldKey(key);
    if (watched == panel)
        return handlePanelKey(key);
    return false;
}

// Over the panel's bottom edge at the right, where the status bar keeps its
// messages clear of it and the list's last row is not covered.
void ModFilterBar::placeAtBottomEdge()
{
    setGeometry(panel->width() - kWidth - kRightMargin, panel->height() - kHeight - 1, kWidth,
                kHeight);
}

void ModFilterBar::showCount(int shown, int total)
{
    count->setText(QString::fromUtf8(UiTexts::filterCount).arg(shown).arg(total));
}

bool ModFilterBar::handleFieldKey(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QCoreApplication::sendEvent(list, event);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The filter stays; Space and Enter act on the current row from here on.
        if (list->currentRow() < 0 && list->firstShownRow() >= 0)
            list->setCurrentRow(list->firstShownRow(), QItemSelectionModel::NoUpdate);
        list->setFocus(Qt::OtherFocusReason);
        return true;
    default:
        return false;
    }
}

bool ModFilterBar::handlePanelKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isOpen()) {
        close();
        return true;
    }
    if (!isFilterKey(*event))
        return false;
    open(event->text());
    return true;
}
