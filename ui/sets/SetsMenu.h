#pragma once

#include "library/sets/ModSet.h"
#include "library/sets/SwitchPlan.h"

#include <QMenu>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

class QMenuBar;
class QStatusBar;

// What the Sets menu asks the user besides the preview; tests replace it so
// that no modal window blocks them (setSetsMenuAnswers).
struct SetsMenuAnswers
{
    // A line of text (a set's name); nothing when cancelled.
    std::function<std::optional<QString>(QWidget *parent, const QString &prompt,
                                         const QString &initial)>
        askText;
    // Yes or no.
    std::function<bool(QWidget *parent, const QString &question)> confirm;
    // A .t3set file to write (`saving`) or to read; empty when cancelled.
    std::function<QString(QWidget *parent, bool saving, const QString &suggestedName)> chooseFile;
};

// Replaces what the menu asks with; empty members keep the real dialogs.
// Returns the answers it replaces.
SetsMenuAnswers setSetsMenuAnswers(SetsMenuAnswers answers);

// The questions themselves, through the answers set or the real dialogs.
std::optional<QString> askSetText(QWidget *parent, const QString &prompt, const QString &initial);
bool confirmSetQuestion(QWidget *parent, const QString &question);
QString chooseSetFile(QWidget *parent, bool saving, const QString &suggestedName);

// The "Sets" menu of the main panel: save what is on as a set, apply a saved
// set (the one matching the disk is ticked), manage, export, import, copy and
// paste a set code. Every switch goes through the preview first and is made
// by applySwitch as one batch; `switched` follows, so the panel rebuilds its
// rows once.
class SetsMenu : public QMenu
{
    Q_OBJECT

public:
    // Puts itself into `bar` before the action `before`; reports in `statusBar`.
    SetsMenu(QMenuBar *bar, QAction *before, QStatusBar *statusBar);

    void updateLanguage();
    // Rebuilds the entries of the saved sets (it also happens whenever the
    // menu opens).
    void refreshSets();

    // Shows the plan of switching to `set` and applies it on Apply; when
    // `keepAfterwards` the set is then saved among the sets.
    void previewSet(const ModSet &set, const QString &heading, bool keepAfterwards);

    // The folder the sets are kept in (tests point it elsewhere).
    void setSetsFolder(const std::filesystem::path &folder);

signals:
    void switched();

private:
    void saveCurrent();
    void manageSets();
    void exportSet();
    void importSet();
    void copyCode();
    void pasteCode();
    void applyPlan(const SwitchPlan &plan, const ModSet &set, bool keepAfterwards);
    bool keepSet(ModSet set);
    ModSet currentSetNamed() const;
    QString matchingSetName() const;

    QStatusBar *statusBar;
    QAction *saveAction;
    QAction *manageAction;
    QAction *exportAction;
    QAction *importAction;
    QAction *copyAction;
    QAction *pasteAction;
    QAction *setsSeparator;
    std::vector<QAction *> setActions;
    std::filesystem::path setsFolder;
};
