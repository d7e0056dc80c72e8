#include "MainPanel.h"

#include "Constants.h"
#include "CurrentLanguage.h"
#include "ModCatalogue.h"
#include "ModImport.h"
#include "ModInstall.h"
#include "ModRecord.h"
#include "PathText.h"
#include "SettingsFile.h"
#include "ChooseFolder.h"
#include "CommandGuard.h"
#include "DraggableWidget.h"
#include "ModFilterBar.h"
#include "PolishOnFirstShow.h"
#include "QtPathText.h"
#include "UiTexts.h"
#include "VezModList.h"
#include "WebAddresses.h"
#include "WholeTextToolTips.h"
#include "WindowHandOver.h"
#include "ui_MainPanel.h"

#include <QAction>
#include <QDesktopServices>
#include <QShortcut>
#include <QStatusBar>
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

    updateMyLanguage();
    deferredPolish->dropQueuedPolish();
}

MainPanel::~MainPanel() = default;

void MainPanel::showRecords(std::vector<std::reference_wrapper<ModRecord>> records)
{
    form->listWidget->fillRows(std::move(records));
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
    applyLanguageText(form->actionEnglish, UiTexts::actionEnglish, language);
    applyLanguageText(form->actionChinese, UiTexts::actionChinese, language);
    applyLanguageText(form->actionRussian, UiTexts::actionRussian, language);

    applyLanguageText(form->label_selfID, UiTexts::label_selfID, language);
    applyLanguageText(form->label_name, UiTexts::label_name, language);
    applyLanguageText(form->label_developer, UiTexts::label_developer, language);
    applyLanguageText(form->label_version, UiTexts::label_version, language);
    applyLanguageText(form->label_state, UiTexts::label_state, language);
    filterBar->updateLanguage();
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
    const bool imported = runGuarded(form->statusbar, FailedCommand::Import, [&] {
        importMods(*sharedCatalogue, pathFromUtf8(folder), category);
    });
    // Mods copied before a failure are on disk as well, so reload either way;
    // after a failure the import's message is the one that stays.
    runGuarded(imported ? form->statusbar : nullptr, FailedCommand::Reload,
               [this] { reloadRows(); });
}

void MainPanel::switchAll(bool enabling)
{
    if (!sharedCatalogue)
        return;
    std::vector<RefusedMove> refused;
    const bool returned = runGuarded(
        form->statusbar, enabling ? FailedCommand::EnableAll : FailedCommand::DisableAll, [&] {
            refused = enabling ? installAll(*sharedCatalogue) : uninstallAll(*sharedCatalogue);
        });
    // Mods moved before a failure have changed too.
    form->listWidget->refreshRows();
    // A walk that ended early says so; its message outranks the refusals before it.
    if (returned && !refused.empty())
        form->statusbar->showMessage(refusedMoveMessage(
            enabling, currentLanguage, refused.size(),
            QString::fromStdString(refused.front().record->self_ID),
            reasonText(refused.front().reason)));
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
