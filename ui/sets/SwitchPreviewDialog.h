#pragma once

#include "library/sets/SwitchPlan.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

namespace Ui {
class SwitchPreviewDialog;
}

// The preview shown before a set is applied: how many mods go on and off and
// which, the members missing from disk (copyable as text), those in another
// version, ambiguous self IDs and what happens to mods outside the set; Apply
// and Cancel. Nothing is switched by the window itself: the owner connects
// accepted() to the switching and rejected() to giving up.
//
// Use: create it (it keeps its own copy of the plan), connect, call present().
// present() opens it window-modal without blocking; when a test answer is set
// (setAnswerForTests) it calls that instead and then accepts or rejects at once,
// so tests and other code never wait on a window.
class SwitchPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    SwitchPreviewDialog(const SwitchPlan &plan, const QString &heading, QWidget *parent = nullptr);
    ~SwitchPreviewDialog() override;

    // Shows another plan, e.g. after the owner re-planned for another choice.
    void setPlan(const SwitchPlan &plan);
    const SwitchPlan &plan() const;

    // Lets the user change what happens to mods outside the set; the owner
    // then gets outsideChanged() and answers with setPlan(). Off by default:
    // the choice is shown but fixed.
    void allowOutsideChoice(bool allow);

    // The missing members, one per line: self ID, name, version, category.
    QString missingText() const;

    // Opens the window (see above).
    void present();

    // True answers Apply, false Cancel; the answer may look at the window
    // first. An empty function restores the real window. Returns the one it
    // replaces.
    using Answer = std::function<bool(SwitchPreviewDialog &)>;
    static Answer setAnswerForTests(Answer answer);

signals:
    void outsideChanged(OutsideSet outside);

private:
    void showPlan();
    void applyLanguage();

    std::unique_ptr<Ui::SwitchPreviewDialog> form;
    SwitchPlan shownPlan;
};
