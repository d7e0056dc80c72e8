#include "ui/sets/SwitchPreviewDialog.h"

#include "ui_SwitchPreviewDialog.h"

#include "library/sets/ModSet.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/UiTexts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QStringList>

#include <utility>

namespace {

SwitchPreviewDialog::Answer &testAnswer()
{
    static SwitchPreviewDialog::Answer answer;
    return answer;
}

QString utf8(const std::string &text)
{
    return QString::fromStdString(text);
}

// "name (folder)", or the folder alone for a mod without a name.
QString modLine(const PlannedSwitch &mod)
{
    if (mod.name.empty())
        return utf8(mod.folder);
    return QStringLiteral("%1 (%2)").arg(utf8(mod.name), utf8(mod.folder));
}

QString memberLine(const ModSetMember &member)
{
    const UiText &category =
        member.category == ModCategory::Tech ? UiTexts::dropTech : UiTexts::dropAircraft;
    return QStringList{utf8(member.selfId), utf8(member.name), utf8(member.version),
                       languageText(category, currentLanguage).value_or(setUpText(category))}
        .join(QStringLiteral(" | "));
}

void addSection(QStringList &lines, SetText heading, const QStringList &items)
{
    if (items.isEmpty())
        return;
    if (!lines.isEmpty())
        lines << QString();
    lines << setText(heading, currentLanguage);
    for (const QString &item : items)
        lines << QStringLiteral("  ") + item;
}

} // namespace

SwitchPreviewDialog::SwitchPreviewDialog(const SwitchPlan &plan, const QString &heading,
                                         QWidget *parent)
    : QDialog(parent), form(std::make_unique<Ui::SwitchPreviewDialog>()), shownPlan(plan)
{
    form->setupUi(this);
    form->label_heading->setText(heading);
    form->checkBox_outside->setEnabled(false);
    applyLanguage();
    showPlan();
    connect(form->pushButton_Apply, &QPushButton::clicked, this, &QDialog::accept);
    connect(form->pushButton_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(form->pushButton_CopyMissing, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(missingText()); });
    connect(form->checkBox_outside, &QCheckBox::toggled, this, [this](bool switchOff) {
        emit outsideChanged(switchOff ? OutsideSet::SwitchOff : OutsideSet::Leave);
    });
}

SwitchPreviewDialog::~SwitchPreviewDialog() = default;

void SwitchPreviewDialog::setPlan(const SwitchPlan &plan)
{
    shownPlan = plan;
    showPlan();
}

const SwitchPlan &SwitchPreviewDialog::plan() const
{
    return shownPlan;
}

void SwitchPreviewDialog::allowOutsideChoice(bool allow)
{
    form->checkBox_outside->setEnabled(allow);
}

QString SwitchPreviewDialog::missingText() const
{
    QStringList lines;
    for (const ModSetMember &member : shownPlan.missing)
        lines << memberLine(member);
    return lines.join(QLatin1Char('\n'));
}

void SwitchPreviewDialog::present()
{
    if (const Answer &answer = testAnswer()) {
        if (answer(*this))
            accept();
        else
            reject();
        return;
    }
    open();
}

SwitchPreviewDialog::Answer SwitchPreviewDialog::setAnswerForTests(Answer answer)
{
    return std::exchange(testAnswer(), std::move(answer));
}

void SwitchPreviewDialog::showPlan()
{
    const SwitchPlan &plan = shownPlan;
    form->label_counts->setText(setText(SetText::Counts, currentLanguage)
                                    .arg(plan.switchOn.size())
                                    .arg(plan.switchOff.size())
                                    .arg(plan.missing.size())
                                    .arg(plan.otherVersion.size()));
    QStringList lines;
    QStringList items;
    for (const PlannedSwitch &mod : plan.switchOn)
        items << modLine(mod);
    addSection(lines, SetText::SectionOn, items);
    items.clear();
    for (const PlannedSwitch &mod : plan.switchOff)
        items << modLine(mod);
    addSection(lines, SetText::SectionOff, items);
    items.clear();
    for (const ModSetMember &member : plan.missing)
        items << memberLine(member);
    addSection(lines, SetText::SectionMissing, items);
    items.clear();
    for (const OtherVersion &other : plan.otherVersion)
        items << QStringLiteral("%1: %2 / %3")
                     .arg(other.member.name.empty()
                              ? utf8(other.folder)
                              : QStringLiteral("%1 (%2)").arg(utf8(other.member.name),
                                                              utf8(other.folder)),
                          utf8(other.member.version), utf8(other.diskVersion));
    addSection(lines, SetText::SectionOtherVersion, items);
    items.clear();
    for (const AmbiguousMember &note : plan.ambiguous) {
        if (note.chosenFolder.empty()) {
            QStringList folders;
            for (const std::string &folder : note.candidateFolders)
                folders << utf8(folder);
            items << setText(SetText::AmbiguousNone, currentLanguage)
                         .arg(utf8(note.member.selfId), folders.join(QStringLiteral(", ")));
        } else {
            items << setText(SetText::AmbiguousChosen, currentLanguage)
                         .arg(utf8(note.member.selfId), utf8(note.chosenFolder));
        }
    }
    addSection(lines, SetText::SectionAmbiguous, items);
    items.clear();
    for (const ModSetMember &member : plan.namedTwice)
        items << memberLine(member);
    addSection(lines, SetText::SectionNamedTwice, items);
    if (plan.changesNothing())
        lines.prepend(setText(SetText::NothingToSwitch, currentLanguage));
    form->planText->setPlainText(lines.join(QLatin1Char('\n')));
    {
        const QSignalBlocker quiet(form->checkBox_outside);
        form->checkBox_outside->setChecked(plan.outside == OutsideSet::SwitchOff);
    }
    form->pushButton_CopyMissing->setEnabled(!plan.missing.empty());
}

void SwitchPreviewDialog::applyLanguage()
{
    if (const auto title = languageText(UiTexts::switchPreviewTitle, currentLanguage))
        setWindowTitle(*title);
    applyLanguageText(form->pushButton_Apply, UiTexts::pushButton_Apply, currentLanguage);
    applyLanguageText(form->pushButton_Cancel, UiTexts::pushButton_Cancel, currentLanguage);
    applyLanguageText(form->pushButton_CopyMissing, UiTexts::pushButton_CopyMissing,
                      currentLanguage);
    applyLanguageText(form->checkBox_outside, UiTexts::checkBox_outside, currentLanguage);
}
