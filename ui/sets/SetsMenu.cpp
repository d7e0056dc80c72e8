#include "ui/sets/SetsMenu.h"

#include "library/catalogue/ModCatalogue.h"
#include "library/history/RecordedSwitching.h"
#include "library/platform/PathText.h"
#include "library/sets/ApplySwitch.h"
#include "library/sets/ModSetError.h"
#include "library/sets/ModSetStore.h"
#include "library/sets/ShareCode.h"
#include "ui/sets/ManageSetsDialog.h"
#include "ui/sets/SwitchPreviewDialog.h"
#include "ui/status/CommandGuard.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

#include <utility>

namespace {

SetsMenuAnswers &answers()
{
    static SetsMenuAnswers current;
    return current;
}

QString utf8(const std::string &text)
{
    return QString::fromStdString(text);
}

QAction *addEntry(QMenu *menu, const UiText &text)
{
    QAction *action = menu->addAction(setUpText(text));
    action->setObjectName(QString::fromUtf8(text.element));
    return action;
}

QString problemMessage(const ModSetError &error)
{
    return setProblemText(error.problem(), currentLanguage);
}

} // namespace

SetsMenuAnswers setSetsMenuAnswers(SetsMenuAnswers replacement)
{
    return std::exchange(answers(), std::move(replacement));
}

std::optional<QString> askSetText(QWidget *parent, const QString &prompt, const QString &initial)
{
    if (answers().askText)
        return answers().askText(parent, prompt, initial);
    bool ok = false;
    const QString text = QInputDialog::getText(
        parent, languageText(UiTexts::menuSets, currentLanguage).value_or(QString()), prompt,
        QLineEdit::Normal, initial, &ok);
    if (!ok || text.trimmed().isEmpty())
        return std::nullopt;
    return text.trimmed();
}

bool confirmSetQuestion(QWidget *parent, const QString &question)
{
    if (answers().confirm)
        return answers().confirm(parent, question);
    return QMessageBox::question(parent, languageText(UiTexts::menuSets, currentLanguage).value_or(QString()),
                                 question) == QMessageBox::Yes;
}

QString chooseSetFile(QWidget *parent, bool saving, const QString &suggestedName)
{
    if (answers().chooseFile)
        return answers().chooseFile(parent, saving, suggestedName);
    const QString filter =
        languageText(UiTexts::setFileFilter, currentLanguage).value_or(QString()) +
        QStringLiteral(" (*%1)").arg(QString::fromLatin1(kModSetFileExtension));
    const QString caption = languageText(saving ? UiTexts::actionExport_Set : UiTexts::actionImport_Set,
                                         currentLanguage)
                                .value_or(QString());
    return saving ? QFileDialog::getSaveFileName(parent, caption, suggestedName, filter)
                  : QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

SetsMenu::SetsMenu(QMenuBar *bar, QAction *before, QStatusBar *statusBar)
    : QMenu(bar), statusBar(statusBar), setsFolder(modSetsFolder())
{
    setObjectName(QString::fromUtf8(UiTexts::menuSets.element));
    setTitle(setUpText(UiTexts::menuSets));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    setStyleSheet(QStringLiteral("color:rgb(245,158,15);font-weight: bold;"));
    saveAction = addEntry(this, UiTexts::actionSave_Set);
    setsSeparator = addSeparator();
    manageAction = addEntry(this, UiTexts::actionManage_Sets);
    addSeparator();
    exportAction = addEntry(this, UiTexts::actionExport_Set);
    importAction = addEntry(this, UiTexts::actionImport_Set);
    copyAction = addEntry(this, UiTexts::actionCopy_Set_Code);
    pasteAction = addEntry(this, UiTexts::actionPaste_Set_Code);
    bar->insertMenu(before, this);

    connect(saveAction, &QAction::triggered, this, &SetsMenu::saveCurrent);
    connect(manageAction, &QAction::triggered, this, &SetsMenu::manageSets);
    connect(exportAction, &QAction::triggered, this, &SetsMenu::exportSet);
    connect(importAction, &QAction::triggered, this, &SetsMenu::importSet);
    connect(copyAction, &QAction::triggered, this, &SetsMenu::copyCode);
    connect(pasteAction, &QAction::triggered, this, &SetsMenu::pasteCode);
    connect(this, &QMenu::aboutToShow, this, &SetsMenu::refreshSets);
    updateLanguage();
}

void SetsMenu::updateLanguage()
{
    const UiLanguage language = currentLanguage;
    applyLanguageText(this, UiTexts::menuSets, language);
    applyLanguageText(saveAction, UiTexts::actionSave_Set, language);
    applyLanguageText(manageAction, UiTexts::actionManage_Sets, language);
    applyLanguageText(exportAction, UiTexts::actionExport_Set, language);
    applyLanguageText(importAction, UiTexts::actionImport_Set, language);
    applyLanguageText(copyAction, UiTexts::actionCopy_Set_Code, language);
    applyLanguageText(pasteAction, UiTexts::actionPaste_Set_Code, language);
}

void SetsMenu::setSetsFolder(const std::filesystem::path &folder)
{
    setsFolder = folder;
}

void SetsMenu::refreshSets()
{
    for (QAction *action : setActions)
        delete action;
    setActions.clear();
    const LoadedModSets loaded = loadModSets(setsFolder);
    for (const StoredModSet &stored : loaded.sets) {
        auto *action = new QAction(utf8(stored.set.name), this);
        action->setObjectName(QStringLiteral("setEntry"));
        action->setCheckable(true);
        if (sharedCatalogue) {
            const SwitchPlan plan = planSwitch(*sharedCatalogue, stored.set);
            action->setChecked(plan.changesNothing() && plan.missing.empty());
        }
        insertAction(setsSeparator, action);
        setActions.push_back(action);
        const ModSet set = stored.set;
        connect(action, &QAction::triggered, this, [this, set] {
            // A click toggles the tick; the tick follows the disk, not the click.
            previewSet(set, setText(SetText::HeadingApply, currentLanguage).arg(utf8(set.name)),
                       false);
        });
    }
    if (!loaded.unreadable.empty() && statusBar) {
        const UnreadableModSet &bad = loaded.unreadable.front();
        statusBar->showMessage(setText(SetText::FileRefused, currentLanguage)
                                   .arg(qStringFromPath(bad.file),
                                        bad.reason ? reasonText(bad.reason)
                                                   : setProblemText(bad.problem, currentLanguage)));
    }
}

void SetsMenu::previewSet(const ModSet &set, const QString &heading, bool keepAfterwards)
{
    if (!sharedCatalogue)
        return;
    auto *preview = new SwitchPreviewDialog(planSwitch(*sharedCatalogue, set), heading, window());
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->allowOutsideChoice(true);
    connect(preview, &SwitchPreviewDialog::outsideChanged, preview, [preview, set](OutsideSet outside) {
        if (sharedCatalogue)
            preview->setPlan(planSwitch(*sharedCatalogue, set, outside));
    });
    connect(preview, &QDialog::accepted, this, [this, preview, set, keepAfterwards] {
        applyPlan(preview->plan(), set, keepAfterwards);
    });
    preview->present();
}

void SetsMenu::applyPlan(const SwitchPlan &plan, const ModSet &set, bool keepAfterwards)
{
    if (!sharedCatalogue)
        return;
    const SwitchOutcome outcome = recordedApplySwitch(*sharedCatalogue, plan, sharedJournal());
    emit switched();
    if (outcome.complete && keepAfterwards)
        keepSet(set);
    if (!statusBar)
        return;
    const UiLanguage language = currentLanguage;
    const QString name = utf8(plan.setName);
    if (outcome.complete) {
        statusBar->showMessage(setText(SetText::Applied, language)
                                   .arg(name)
                                   .arg(outcome.switchedOn)
                                   .arg(outcome.switchedOff)
                                   .arg(plan.missing.size()));
    } else if (outcome.notReversed.empty()) {
        statusBar->showMessage(setText(SetText::Refused, language)
                                   .arg(name, utf8(outcome.refused.mod.folder),
                                        reasonText(outcome.refused.reason)));
    } else {
        QStringList stayed;
        for (const FailedSwitch &failed : outcome.notReversed)
            stayed << utf8(failed.mod.folder);
        statusBar->showMessage(setText(SetText::NotReversed, language)
                                   .arg(name, stayed.join(QStringLiteral(", ")),
                                        reasonText(outcome.notReversed.front().reason)));
    }
}

bool SetsMenu::keepSet(ModSet set)
{
    // A set of that name with other members is kept, the new one gets a name of its own.
    const std::string base = set.name;
    for (int number = 2; std::filesystem::exists(modSetFileFor(setsFolder, set.name)); ++number)
        set.name = base + " (" + std::to_string(number) + ")";
    std::error_code failure;
    if (writeModSetFile(modSetFileFor(setsFolder, set.name), set, failure))
        return true;
    if (statusBar)
        statusBar->showMessage(
            setText(SetText::SaveFailed, currentLanguage).arg(utf8(set.name), reasonText(failure)));
    return false;
}

QString SetsMenu::matchingSetName() const
{
    if (!sharedCatalogue)
        return {};
    for (const StoredModSet &stored : loadModSets(setsFolder).sets) {
        const SwitchPlan plan = planSwitch(*sharedCatalogue, stored.set);
        if (plan.changesNothing() && plan.missing.empty())
            return utf8(stored.set.name);
    }
    return {};
}

ModSet SetsMenu::currentSetNamed() const
{
    QString name = matchingSetName();
    if (name.isEmpty())
        name = setText(SetText::CurrentName, currentLanguage);
    return currentModSet(*sharedCatalogue, name.toStdString());
}

void SetsMenu::saveCurrent()
{
    if (!sharedCatalogue)
        return;
    const auto name = askSetText(window(), setText(SetText::PromptName, currentLanguage), QString());
    if (!name)
        return;
    const std::filesystem::path file = modSetFileFor(setsFolder, name->toStdString());
    if (std::filesystem::exists(file) &&
        !confirmSetQuestion(window(), setText(SetText::ConfirmReplace, currentLanguage).arg(*name)))
        return;
    std::error_code failure;
    const ModSet set = currentModSet(*sharedCatalogue, name->toStdString());
    if (!writeModSetFile(file, set, failure)) {
        if (statusBar)
            statusBar->showMessage(
                setText(SetText::SaveFailed, currentLanguage).arg(*name, reasonText(failure)));
        return;
    }
    if (statusBar)
        statusBar->showMessage(setText(SetText::Saved, currentLanguage).arg(*name));
}

void SetsMenu::manageSets()
{
    ManageSetsDialog dialog(setsFolder, window());
    dialog.exec();
}

void SetsMenu::exportSet()
{
    if (!sharedCatalogue)
        return;
    const ModSet set = currentSetNamed();
    const QString file = chooseSetFile(
        window(), true,
        qStringFromPath(modSetFileFor(std::filesystem::path(), set.name).filename()));
    if (file.isEmpty())
        return;
    std::error_code failure;
    std::filesystem::path target = pathFromUtf8(file.toStdString());
    if (target.extension() != kModSetFileExtension)
        target += kModSetFileExtension;
    if (!writeModSetFile(target, set, failure)) {
        if (statusBar)
            statusBar->showMessage(setText(SetText::SaveFailed, currentLanguage)
                                       .arg(utf8(set.name), reasonText(failure)));
        return;
    }
    if (statusBar)
        statusBar->showMessage(setText(SetText::Exported, currentLanguage)
                                   .arg(utf8(set.name), qStringFromPath(target)));
}

void SetsMenu::importSet()
{
    if (!sharedCatalogue)
        return;
    const QString file = chooseSetFile(window(), false, QString());
    if (file.isEmpty())
        return;
    const std::filesystem::path path = pathFromUtf8(file.toStdString());
    try {
        const ModSet set = readModSetFile(path);
        previewSet(set,
                   setText(SetText::HeadingFile, currentLanguage)
                       .arg(utf8(set.name), qStringFromPath(path.filename())),
                   true);
    } catch (const ModSetError &error) {
        if (statusBar)
            statusBar->showMessage(setText(SetText::FileRefused, currentLanguage)
                                       .arg(qStringFromPath(path), problemMessage(error)));
    } catch (const std::filesystem::filesystem_error &error) {
        if (statusBar)
            statusBar->showMessage(setText(SetText::FileRefused, currentLanguage)
                                       .arg(qStringFromPath(path), reasonText(error.code())));
    }
}

void SetsMenu::copyCode()
{
    if (!sharedCatalogue)
        return;
    const ModSet set = currentSetNamed();
    const QString code = QString::fromStdString(modSetToShareCode(set));
    QGuiApplication::clipboard()->setText(code);
    if (statusBar)
        statusBar->showMessage(
            setText(SetText::CodeCopied, currentLanguage).arg(utf8(set.name)).arg(code.size()));
}

void SetsMenu::pasteCode()
{
    if (!sharedCatalogue)
        return;
    try {
        const ModSet set =
            modSetFromShareCode(QGuiApplication::clipboard()->text().toStdString());
        previewSet(set, setText(SetText::HeadingCode, currentLanguage).arg(utf8(set.name)), true);
    } catch (const ModSetError &error) {
        if (statusBar)
            statusBar->showMessage(
                setText(SetText::CodeRefused, currentLanguage).arg(problemMessage(error)));
    }
}
