#include "ui/windows/MainWindow.h"

#include "library/catalogue/Constants.h"
#include "ui/texts/CurrentLanguage.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/platform/PathText.h"
#include "settings/SettingsFile.h"
#include "ui/import/ChooseFolder.h"
#include "ui/status/CommandGuard.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"
#include "ui/texts/WholeTextToolTips.h"
#include "ui/windows/WindowHandOver.h"
#include "ui_MainWindow.h"

#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <string>
#include <system_error>

MainWindow *directoryWindow = nullptr;

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<MainWindowForm>())
{
    setWindowFlags(Qt::WindowCloseButtonHint);
    ui->setupUi(this);
    // Typing a folder and pressing Enter is the same as pressing Confirm.
    connect(ui->lineEdit, &QLineEdit::returnPressed, ui->pushButton_Confirm,
            &QAbstractButton::click);
    // The fixed widths cut some languages' texts short.
    auto *toolTips = new WholeTextToolTips(this);
    toolTips->watch(ui->label);
    toolTips->watch(ui->pushButton);
    toolTips->watch(ui->pushButton_Confirm);
    loadSavedDirectory();
}

MainWindow::~MainWindow() = default;

void MainWindow::loadSavedDirectory()
{
    // An unreadable settings file shows as no saved folder rather than ending start-up.
    std::filesystem::path saved;
    runGuarded(ui->statusBar, FailedCommand::ReadSettings, [&] { saved = readDirectorySetting(); });
    ui->lineEdit->setText(qStringFromPath(saved));
    applyLanguage();
}

void MainWindow::applyLanguage()
{
    applyLanguageText(ui->pushButton, UiTexts::pushButton, currentLanguage);
    applyLanguageText(ui->pushButton_Confirm, UiTexts::pushButton_Confirm, currentLanguage);
    applyLanguageText(ui->label, UiTexts::label, currentLanguage);
}

void MainWindow::on_pushButton_pressed()
{
    const std::string folder = chooseFolder();
    if (folder.empty())
        return;
    std::error_code failure;
    if (!runGuarded(ui->statusBar, FailedCommand::SaveDirectory,
                    [&] { saveDirectory(pathFromUtf8(folder), &failure); }))
        return;
    loadSavedDirectory();
    // After the refill, which clears the status bar when the file reads well.
    if (failure)
        showFailure(ui->statusBar, FailedCommand::SaveDirectory,
                    qStringFromPath(kSettingsFilePath), failure);
}

void MainWindow::on_pushButton_Confirm_pressed()
{
    const std::string directory = ui->lineEdit->text().toStdString();
    // A failed load keeps the earlier catalogue and this window; there is nothing to hand over.
    if (!runGuarded(ui->statusBar, FailedCommand::Load, [&] { loadCatalogue(directory); }))
        return;
    if (!sharedCatalogue)
        return;
    showPanelAfterConfirm();
}
