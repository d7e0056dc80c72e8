#include "ui/windows/MainPanel.h"

#include "library/catalogue/Constants.h"
#include "ui/texts/CurrentLanguage.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/import/ModArchive.h"
#include "library/import/ModImport.h"
#include "library/history/RecordedSwitching.h"
#include "library/switching/ModInstall.h"
#include "library/catalogue/ModRecord.h"
#include "library/platform/PathText.h"
#include "settings/SettingsFile.h"
#include "ui/import/ChooseArchive.h"
#include "ui/import/ChooseFolder.h"
#include "ui/status/CommandGuard.h"
#include "ui/windows/DraggableWidget.h"
#include "ui/import/ImportSession.h"
#include "ui/history/HistoryWindow.h"
#include "ui/history/SessionJournal.h"
#include "ui/modlist/ModFilterBar.h"
#include "ui/windows/PolishOnFirstShow.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"
#include "ui/modlist/VezModList.h"
#include "ui/windows/WebAddresses.h"
#include "ui/texts/WholeTextToolTips.h"
#include "ui/windows/WindowHandOver.h"
#include "library/notes/ModNotes.h"
#include "library/platform/DataFile.h"
#include "ui/modlist/ModListText.h"
#include "ui/modlist/ModRecycler.h"
#include "ui/modlist/ModRowMenu.h"
#include "ui/modlist/SortHeadings.h"
#include "ui/sets/SetsMenu.h"
#include "ui_MainPanel.h"

#include <QClipboard>
#include <QGuiApplication>

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <string>
#include <system_error>
#include <utility>
#include <vector>

MainPanel *mainPanel = nullptr;

MainPanel::MainPanel(QWidget *parent)
    : QMainWindow(parent), form(std::make_unique<MainPanelForm>()), filterBar(nullptr)
{
    setWindowFlags(Qt::FramelessWindowHint);
    // The panel stays hidden until a Confirm; its background image is read then.
    auto *deferredPolish = new PolishOnFirstShow(this);
    form->setupUi(this);

    // The strip fills the transparent band over the headings and drags the window.
    auto *dragStrip = new DraggableWidget(this);
    dragStrip->setObjectName(QStringLiteral("dragStrip"));
    dragStrip->setGeometry(0, 0, 100, 50);
    auto *bandLayout = new QVBoxLayout(form->vezMoveWindow);
    bandLayout->addWidget(dragStrip);
    // An empty list under the strip: Tab should not stop there on its way to the rows.
    form->vezMoveWindow->setFocusPolicy(Qt::NoFocus);

    auto *closeAction = new QAction(QString::fromUtf8(UiTexts::closeEntry), this);
    closeAction->setObjectName(QStringLiteral("closeAction"));
    form->menuBar->addAction(closeAction);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);

    filterBar = new ModFilterBar(form->listWidget, this);
    auto *reloadKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(reloadKey, &QShortcut::activated, form->actionReload, &QAction::trigger);
    // The drag strip lies over the headings and takes their mouse, so it asks for their tips.
    auto *headingTips = new WholeTextToolTips(this);
    for (QLabel *heading : {form->label_selfID, form->label_name, form->label_developer,
                            form->label_version, form->label_state})
        headingTips->watch(heading);
    headingTips->watchThrough(dragStrip);

    connect(form->actionImport_Archive_AirCraft, &QAction::triggered, this,
            [this] { importArchiveInto(ModCategory::Aircraft); });
    connect(form->actionImport_Archive_Tech, &QAction::triggered, this,
            [this] { importArchiveInto(ModCategory::Tech); });
    setAcceptDrops(true);
    setUpOrganising(dragStrip);
    setUpHistory();

    // Sets: between Features and Language; a switch rebuilds the rows once.
    setsMenu = new SetsMenu(form->menuBar, form->menuLanguage->menuAction(), form->statusbar);
    connect(setsMenu, &SetsMenu::switched, this, [this] {
        if (sharedCatalogue)
            showRecords(sharedCatalogue->records());
    });

    updateMyLanguage();
    deferredPolish->dropQueuedPolish();
}

MainPanel::~MainPanel() = default;

void MainPanel::showRecords(std::vector<std::reference_wrapper<ModRecord>> records)
{
    form->listWidget->fillRows(std::move(records));
    if (!dataFileProblems.isEmpty())
        form->statusbar->showMessage(std::exchange(dataFileProblems, QString()));
}

void MainPanel::updateMyLanguage()
{
    form->listWidget->updateRowsLanguage();

    const UiLanguage language = currentLanguage;
    applyLanguageText(form->menuFile, UiTexts::menuFile, language);
    applyLanguageText(form->menuFeatures, UiTexts::menuFeatures, language);
    applyLanguageText(form->menuLanguage, UiTexts::menuLanguage, language);

    applyLanguageText(form->backToMainLink, UiTexts::backToMainLink, language);
    applyLanguageText(form->actionImport_Mod_AirCraft, UiTexts::actionImport_Mod_AirCraft,
                      language);
    applyLanguageText(form->actionImport_Mod_Tech, UiTexts::actionImport_Mod_Tech, language);
    applyLanguageText(form->actionReload, UiTexts::actionReload, language);
    applyLanguageText(form->actionDisable_All, UiTexts::actionDisable_All, language);
    applyLanguageText(form->actionEnable_All, UiTexts::actionEnable_All, language);
    applyLanguageText(form->actionMore_Mod, UiTexts::actionMore_Mod, language);
    applyLanguageText(form->actionAbout_Author_2, UiTexts::actionAbout_Author_2, language);
    applyLanguageText(form->actionImport_Archive_AirCraft, UiTexts::actionImport_Archive_AirCraft,
                      language);
    applyLanguageText(form->actionImport_Archive_Tech, UiTexts::actionImport_Archive_Tech, language);
    applyLanguageText(form->actionEnglish, UiTexts::actionEnglish, language);
    applyLanguageText(form->actionChinese, UiTexts::actionChinese, language);
    applyLanguageText(form->actionRussian, UiTexts::actionRussian, language);

    applyLanguageText(form->label_selfID, UiTexts::label_selfID, language);
    applyLanguageText(form->label_name, UiTexts::label_name, language);
    applyLanguageText(form->label_developer, UiTexts::label_developer, language);
    applyLanguageText(form->label_version, UiTexts::label_version, language);
    applyLanguageText(form->label_state, UiTexts::label_state, language);
    filterBar->updateLanguage();
    applyLanguageText(copyModListAction, UiTexts::actionCopy_Mod_List, language);
    setsMenu->updateLanguage();
    updateHistoryActions();
    if (historyWindow)
        historyWindow->updateLanguage();
}

void MainPanel::on_backToMainLink_triggered()
{
    backToDirectoryWindow();
}

void MainPanel::on_actionImport_Mod_AirCraft_triggered()
{
    importInto(ModCategory::Aircraft);
}

void MainPanel::on_actionImport_Mod_Tech_triggered()
{
    importInto(ModCategory::Tech);
}

void MainPanel::on_actionReload_triggered()
{
    if (!sharedCatalogue)
        return;
    runGuarded(form->statusbar, FailedCommand::Reload, [this] { reloadRows(); });
}

void MainPanel::on_actionDisable_All_triggered()
{
    switchAll(false);
}

void MainPanel::on_actionEnable_All_triggered()
{
    switchAll(true);
}

void MainPanel::on_actionMore_Mod_triggered()
{
    QDesktopServices::openUrl(modLibraryPage(currentLanguage));
}

void MainPanel::on_actionAbout_Author_2_triggered()
{
    QDesktopServices::openUrl(authorPage());
}

void MainPanel::on_actionEnglish_triggered()
{
    switchLanguage(UiLanguage::English);
}

void MainPanel::on_actionChinese_triggered()
{
    switchLanguage(UiLanguage::Chinese);
}

void MainPanel::on_actionRussian_triggered()
{
    switchLanguage(UiLanguage::Russian);
}

void MainPanel::importInto(ModCategory category)
{
    const std::string folder = chooseFolder();
    if (folder.empty() || !sharedCatalogue)
        return;
    runImports({{pathFromUtf8(folder), false}}, category);
}

void MainPanel::importArchiveInto(ModCategory category)
{
    if (importSession)
        return;
    const std::string archive = chooseArchive(this);
    if (archive.empty() || !sharedCatalogue)
        return;
    runImports({{pathFromUtf8(archive), true}}, category);
}

std::vector<MainPanel::ImportItem> MainPanel::importableItems(const QMimeData *data)
{
    std::vector<ImportItem> items;
    if (!data || !data->hasUrls())
        return items;
    for (const QUrl &url : data->urls()) {
        const QFileInfo file(url.toLocalFile());
        const std::filesystem::path path = pathFromUtf8(file.filePath().toStdString());
        if (!url.isLocalFile() || !file.exists())
            return {};
        if (file.isDir())
            items.push_back({path, false});
        else if (isArchiveFileName(path))
            items.push_back({path, true});
        else
            return {}; // one thing that cannot be imported refuses the whole drop
    }
    return items;
}

void MainPanel::dragEnterEvent(QDragEnterEvent *event)
{
    if (!importSession && sharedCatalogue && !importableItems(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainPanel::dragMoveEvent(QDragMoveEvent *event)
{
    if (!importSession && sharedCatalogue && !importableItems(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainPanel::dropEvent(QDropEvent *event)
{
    std::vector<ImportItem> items = importableItems(event->mimeData());
    if (importSession || !sharedCatalogue || items.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The file manager waits until the drop returns: ask and import afterwards.
    const QPoint at = mapToGlobal(event->position().toPoint());
    QTimer::singleShot(0, this, [this, items = std::move(items), at] { importDropped(items, at); });
}

void MainPanel::importDropped(const std::vector<ImportItem> &items, QPoint globalPosition)
{
    if (importSession || !sharedCatalogue)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("dropMenu"));
    menu.setStyleSheet(form->menuFeatures->styleSheet());
    QAction *aircraft = menu.addAction(setUpText(UiTexts::dropAircraft));
    aircraft->setObjectName(QString::fromUtf8(UiTexts::dropAircraft.element));
    applyLanguageText(aircraft, UiTexts::dropAircraft, currentLanguage);
    QAction *tech = menu.addAction(setUpText(UiTexts::dropTech));
    tech->setObjectName(QString::fromUtf8(UiTexts::dropTech.element));
    applyLanguageText(tech, UiTexts::dropTech, currentLanguage);
    const QAction *chosen = menu.exec(globalPosition);
    if (chosen == aircraft)
        runImports(items, ModCategory::Aircraft);
    else if (chosen == tech)
        runImports(items, ModCategory::Tech);
}

void MainPanel::runImports(const std::vector<ImportItem> &items, ModCategory category)
{
    // One import at a time: the file system work must never overlap.
    if (importSession || !sharedCatalogue)
        return;
    ImportSession session(this);
    importSession = &session;
    ImportResult total;
    const bool imported = runGuarded(form->statusbar, FailedCommand::Import, [&] {
        for (const ImportItem &item : items) {
            const ImportResult result =
                item.archive ? importArchive(*sharedCatalogue, item.path, category, &session)
                             : importMods(*sharedCatalogue, item.path, category, {&session});
            total.modsImported += result.modsImported;
            total.filesCopied += result.filesCopied;
            total.cancelled = result.cancelled;
            total.refused.insert(total.refused.end(), result.refused.begin(), result.refused.end());
            if (result.cancelled)
                break;
        }
    });
    importSession = nullptr;
    // Mods copied before a failure or a cancel are on disk as well, so reload
    // either way; after a failure the import's message is the one that stays.
    const bool reloaded = runGuarded(imported ? form->statusbar : nullptr, FailedCommand::Reload,
                                     [this] { reloadRows(); });
    if (imported && reloaded)
        form->statusbar->showMessage(importSummary(total, currentLanguage));
}

void MainPanel::closeEvent(QCloseEvent *event)
{
    if (importSession)
        importSession->cancel();
    QMainWindow::closeEvent(event);
}

void MainPanel::switchAll(bool enabling)
{
    if (!sharedCatalogue)
        return;
    std::vector<RefusedMove> refused;
    std::size_t switched = 0;
    SwitchJournal &journal = sharedJournal();
    const bool returned = runGuarded(
        form->statusbar, enabling ? FailedCommand::EnableAll : FailedCommand::DisableAll,
        [&] { refused = recordedSwitchAll(*sharedCatalogue, enabling, journal, &switched); });
    // Mods moved before a failure have changed too.
    form->listWidget->refreshRows();
    updateHistoryActions();
    if (!returned)
        return; // a walk that ended early says so; its message outranks the rest
    QString message;
    if (!refused.empty())
        message = refusedMoveMessage(enabling, currentLanguage, refused.size(),
                                     QString::fromStdString(refused.front().record->self_ID),
                                     reasonText(refused.front().reason));
    else if (switched > 0)
        message = historyText(enabling ? HistoryText::SwitchedOn : HistoryText::SwitchedOff,
                              currentLanguage)
                      .arg(switched);
    const QString notice = journalNotice(journal, currentLanguage);
    if (!notice.isEmpty())
        message = message.isEmpty() ? notice : message + QLatin1Char(' ') + notice;
    if (!message.isEmpty())
        form->statusbar->showMessage(message);
}

void MainPanel::setUpHistory()
{
    undoAction = new QAction(setUpText(UiTexts::actionUndo), this);
    undoAction->setObjectName(QString::fromUtf8(UiTexts::actionUndo.element));
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction = new QAction(setUpText(UiTexts::actionRedo), this);
    redoAction->setObjectName(QString::fromUtf8(UiTexts::actionRedo.element));
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    historyAction = new QAction(setUpText(UiTexts::actionHistory), this);
    historyAction->setObjectName(QString::fromUtf8(UiTexts::actionHistory.element));
    form->menuFeatures->addSeparator();
    form->menuFeatures->addAction(undoAction);
    form->menuFeatures->addAction(redoAction);
    form->menuFeatures->addAction(historyAction);
    connect(undoAction, &QAction::triggered, this, &MainPanel::undoLastSwitch);
    connect(redoAction, &QAction::triggered, this, &MainPanel::redoLastSwitch);
    connect(historyAction, &QAction::triggered, this, &MainPanel::showHistory);
    // The entries say what they would undo; a row's switch happens out of the
    // panel's sight, so they are brought up to date as the menu opens. While
    // it is closed they stay enabled: a shortcut with nothing to do says so.
    connect(form->menuFeatures, &QMenu::aboutToShow, this, &MainPanel::updateHistoryActions);
    connect(form->menuFeatures, &QMenu::aboutToHide, this, [this] {
        undoAction->setEnabled(true);
        redoAction->setEnabled(true);
    });
}

void MainPanel::updateHistoryActions()
{
    if (!undoAction)
        return;
    const bool menuOpen = form->menuFeatures->isVisible();
    SwitchJournal &journal = sharedJournal();
    const JournalBatch *undo = journal.nextUndo();
    const JournalBatch *redo = journal.nextRedo();
    if (undo)
        undoAction->setText(historyText(HistoryText::UndoAction, currentLanguage)
                                .arg(describeBatch(journal, journal.origin(*undo), currentLanguage)));
    else
        applyLanguageText(undoAction, UiTexts::actionUndo, currentLanguage);
    if (redo)
        redoAction->setText(historyText(HistoryText::RedoAction, currentLanguage)
                                .arg(describeBatch(journal, journal.origin(*redo), currentLanguage)));
    else
        applyLanguageText(redoAction, UiTexts::actionRedo, currentLanguage);
    applyLanguageText(historyAction, UiTexts::actionHistory, currentLanguage);
    undoAction->setEnabled(!menuOpen || undo);
    redoAction->setEnabled(!menuOpen || redo);
}

void MainPanel::undoLastSwitch()
{
    runHistoryStep(false);
}

void MainPanel::redoLastSwitch()
{
    runHistoryStep(true);
}

void MainPanel::runHistoryStep(bool redo)
{
    if (!sharedCatalogue)
        return;
    SwitchJournal &journal = sharedJournal();
    const JournalBatch *next = redo ? journal.nextRedo() : journal.nextUndo();
    if (!next) {
        form->statusbar->showMessage(historyText(
            redo ? HistoryText::NothingToRedo : HistoryText::NothingToUndo, currentLanguage));
        return;
    }
    const QString what = describeBatch(journal, journal.origin(*next), currentLanguage);
    RecordedRun run;
    const bool returned = runGuarded(form->statusbar, FailedCommand::Move, [&] {
        run = redo ? redoLast(*sharedCatalogue, journal) : undoLast(*sharedCatalogue, journal);
    });
    form->listWidget->refreshRows();
    updateHistoryActions();
    if (historyWindow)
        historyWindow->refill();
    if (returned)
        form->statusbar->showMessage(recordedRunMessage(
            journal, run, redo ? HistoryText::Redone : HistoryText::Undone, what, currentLanguage));
}

void MainPanel::showHistory()
{
    if (!historyWindow) {
        historyWindow = new HistoryWindow(this);
        connect(historyWindow, &HistoryWindow::modsSwitched, this, [this](const QString &message) {
            form->listWidget->refreshRows();
            updateHistoryActions();
            form->statusbar->showMessage(message);
        });
    }
    historyWindow->refill();
    historyWindow->show();
    historyWindow->raise();
    historyWindow->activateWindow();
}

void MainPanel::reloadRows()
{
    sharedCatalogue->reload();
    showRecords(sharedCatalogue->records());
}

void MainPanel::switchLanguage(UiLanguage language)
{
    if (currentLanguage == language)
        return;
    currentLanguage = language;
    std::error_code failure;
    runGuarded(form->statusbar, FailedCommand::SaveLanguage,
               [&] { saveLanguage(language, &failure); });
    updateMyLanguage();
    passLanguageToDirectoryWindow();
    // The language applies for this run even when it could not be saved.
    if (failure)
        showFailure(form->statusbar, FailedCommand::SaveLanguage,
                    qStringFromPath(kSettingsFilePath), failure);
}

void MainPanel::setUpOrganising(DraggableWidget *dragStrip)
{
    QStringList problems;
    notes = std::make_unique<ModNotes>(notesFilePath());
    try {
        notes->load();
    } catch (const DataFileError &error) {
        problems.append(textIn(UiTexts::notesDamaged, currentLanguage)
                            .arg(qStringFromPath(error.file()))
                            .arg(error.line()));
    } catch (const std::filesystem::filesystem_error &error) {
        problems.append(failureMessage(FailedCommand::ReadNotes, currentLanguage,
                                       qStringFromPath(error.path1()), reasonText(error.code())));
    }
    form->listWidget->setNotes(notes.get());

    sortHeadings = new SortHeadings(form->listWidget, {form->label_selfID, form->label_name,
                                                       form->label_developer, form->label_version,
                                                       form->label_state});
    if (const QString problem = sortHeadings->loadChoice(); !problem.isEmpty())
        problems.append(problem);
    dataFileProblems = problems.join(QLatin1Char(' '));
    // The strip over the headings drags the window; a click without a drag sorts.
    connect(dragStrip, &DraggableWidget::clicked, this, [this, dragStrip](QPoint at) {
        sortHeadings->clickAt(dragStrip->mapTo(form->centralwidget, at));
    });
    connect(sortHeadings, &SortHeadings::saveFailed, form->statusbar,
            [this](const QString &message) { form->statusbar->showMessage(message); });

    auto *recycler = new ModRecycler(this, [this] {
        return runGuarded(form->statusbar, FailedCommand::Reload, [this] { reloadRows(); });
    });
    new ModRowMenu(form->listWidget, notes.get(), recycler);

    copyModListAction = new QAction(setUpText(UiTexts::actionCopy_Mod_List), this);
    copyModListAction->setObjectName(QString::fromUtf8(UiTexts::actionCopy_Mod_List.element));
    form->menuFeatures->addAction(copyModListAction);
    connect(copyModListAction, &QAction::triggered, this, &MainPanel::copyModList);
}

void MainPanel::copyModList()
{
    const auto shown = form->listWidget->shownRecords();
    QGuiApplication::clipboard()->setText(modListText(shown, currentLanguage));
    form->statusbar->showMessage(
        textIn(UiTexts::modListCopied, currentLanguage).arg(static_cast<qulonglong>(shown.size())));
}
