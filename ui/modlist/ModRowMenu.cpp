#include "ui/modlist/ModRowMenu.h"

#include "library/catalogue/ModRecord.h"
#include "library/notes/ModNotes.h"
#include "ui/modlist/ModRecycler.h"
#include "ui/modlist/VezModItemWidget.h"
#include "ui/modlist/VezModList.h"
#include "ui/notes/NoteDialog.h"
#include "ui/status/CommandGuard.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

#include <string>

namespace {

// Opaque on its own: the list's transparent background must not reach the popup.
const QString &menuSheet()
{
    static const QString sheet = QStringLiteral(
        "QMenu{background-color:rgb(39,39,39);color:rgb(245,158,15);font-weight:bold;"
        "border:1px solid rgb(245,158,15);}"
        "QMenu::item{padding:4px 20px 4px 14px;}"
        "QMenu::item:selected{background-color:rgb(245,158,15);color:rgb(39,39,39);}"
        "QMenu::separator{height:1px;background:rgb(128,128,128);margin:3px 8px;}");
    return sheet;
}

} // namespace

ModRowMenu::ModRowMenu(VezModList *list, ModNotes *notes, ModRecycler *recycler)
    : QObject(list), list(list), notes(notes), recycler(recycler)
{
    connect(list, &VezModList::rowMenuRequested, this, &ModRowMenu::open);
}

QMenu *ModRowMenu::open(int row, QPoint globalPosition)
{
    const ModRecord *record = list->recordAt(row);
    if (!record)
        return nullptr;
    const UiLanguage language = currentLanguage;
    auto *menu = new QMenu(list->window());
    menu->setObjectName(QStringLiteral("rowMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setStyleSheet(menuSheet());
    // Each entry acts on the row's record only while the row still shows it.
    const auto addEntry = [&](const UiText &text, auto act) {
        QAction *action = menu->addAction(textIn(text, language));
        action->setObjectName(QString::fromUtf8(text.element));
        connect(action, &QAction::triggered, this, [this, row, record, act] {
            if (list->recordAt(row) == record)
                act(*record);
        });
    };
    const auto pressRowButton = [this, row](const char *name) {
        if (VezModItemWidget *rowWidget = list->rowWidgetAt(row))
            if (auto *button = rowWidget->findChild<QPushButton *>(QString::fromLatin1(name)))
                button->click();
    };
    addEntry(record->installState ? UiTexts::rowMenuUninstall : UiTexts::rowMenuInstall,
             [pressRowButton](const ModRecord &) { pressRowButton("installButton"); });
    addEntry(UiTexts::rowMenuOpenFolder,
             [pressRowButton](const ModRecord &) { pressRowButton("openButton"); });
    menu->addSeparator();
    addEntry(UiTexts::rowMenuCopyId, [](const ModRecord &mod) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(mod.self_ID));
    });
    addEntry(UiTexts::rowMenuCopyFolderPath, [](const ModRecord &mod) {
        QGuiApplication::clipboard()->setText(
            QDir::toNativeSeparators(qStringFromPath(mod.modFolder())));
    });
    addEntry(UiTexts::rowMenuNote, [this, row](const ModRecord &) { editNote(row); });
    menu->addSeparator();
    addEntry(UiTexts::rowMenuRecycle, [this](const ModRecord &mod) { recycler->start(mod); });
    menu->popup(globalPosition);
    return menu;
}

void ModRowMenu::editNote(int row)
{
    const ModRecord *record = list->recordAt(row);
    if (!record)
        return;
    const UiLanguage language = currentLanguage;
    QStatusBar *statusBar = statusBarOf(list);
    if (notes->isRefused()) {
        if (statusBar)
            statusBar->showMessage(textIn(UiTexts::notesRefused, language)
                                       .arg(QDir::toNativeSeparators(qStringFromPath(notes->file()))));
        return;
    }
    const ModNotes::Key key = ModNotes::keyOf(*record);
    const std::string *current = notes->noteOf(key);
    const std::optional<QString> note = askForNote(
        list->window(), textIn(UiTexts::noteDialogTitle, language),
        textIn(UiTexts::noteDialogLabel, language).arg(VezModItemWidget::rowName(*record)),
        current ? QString::fromStdString(*current) : QString());
    if (!note)
        return;
    runGuarded(statusBar, FailedCommand::SaveNote,
               [&] { notes->setNote(key, note->toStdString()); });
    list->notesChanged();
}
