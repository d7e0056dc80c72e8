#include "ui/history/HistoryWindow.h"

#include "library/catalogue/ModCatalogue.h"
#include "library/history/RecordedSwitching.h"
#include "library/platform/PathText.h"
#include "library/sets/ModSet.h"
#include "library/sets/SwitchPlan.h"
#include "ui/history/SessionJournal.h"
#include "ui/sets/SwitchPreviewDialog.h"
#include "ui/status/CommandGuard.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"

#include <QCheckBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

constexpr int kBatchRole = Qt::UserRole;

// The catalogue's records by their mod folder as the journal writes it (whole).
std::unordered_map<fs::path::string_type, const ModRecord *> recordsByFolder()
{
    std::unordered_map<fs::path::string_type, const ModRecord *> records;
    if (!sharedCatalogue)
        return records;
    std::error_code error;
    for (const ModRecord &record : sharedCatalogue->records())
        records.emplace(fs::absolute(record.modFolder(), error).lexically_normal().native(),
                        &record);
    return records;
}

PlannedSwitch plannedSwitch(const EntryMove &move, const ModRecord *record)
{
    PlannedSwitch planned;
    const fs::path folder = modFolderOf(move.from);
    planned.folder = utf8FromPath(folder.filename());
    planned.category =
        folder.parent_path().filename() == "tech" ? ModCategory::Tech : ModCategory::Aircraft;
    if (record) {
        planned.selfId = record->self_ID;
        planned.name = historyModName(*record).toStdString();
        planned.version = record->version;
    }
    planned.move = move;
    return planned;
}

} // namespace

HistoryWindow::HistoryWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), batchList(new QListWidget(this)),
      moveList(new QListWidget(this)), restoreButton(new QPushButton(this)),
      closeButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("HistoryWindow"));
    resize(640, 460);
    setStyleSheet(QStringLiteral(
        "#HistoryWindow{background-color:rgb(39,39,39);}"
        "QListWidget{background-color:rgb(52,52,52);border:1px solid rgb(80,80,80);}"
        "QListWidget{color:white;}"
        "QPushButton{color:rgb(245,158,15);font-weight:bold;background-color:rgb(60,60,60);"
        "border:1px solid rgb(245,158,15);border-radius:4px;padding:5px 14px;}"
        "QPushButton:disabled{color:rgb(128,128,128);border-color:rgb(128,128,128);}"));
    batchList->setObjectName(QStringLiteral("batchList"));
    moveList->setObjectName(QStringLiteral("moveList"));
    moveList->setSelectionMode(QAbstractItemView::NoSelection);
    // The selected batch stays legible when the window is not the active one.
    QPalette selection = batchList->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        selection.setColor(group, QPalette::Highlight, QColor(245, 158, 15));
        selection.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    batchList->setPalette(selection);
    restoreButton->setObjectName(QString::fromUtf8(UiTexts::restoreButton.element));
    closeButton->setObjectName(QString::fromUtf8(UiTexts::historyCloseButton.element));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(restoreButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(batchList, 3);
    layout->addWidget(moveList, 2);
    layout->addLayout(buttons);

    connect(batchList, &QListWidget::currentRowChanged, this, &HistoryWindow::showMoves);
    connect(restoreButton, &QPushButton::clicked, this, &HistoryWindow::restoreSelected);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    updateLanguage();
}

void HistoryWindow::refill()
{
    const std::uint64_t selected = selectedBatch();
    SwitchJournal &journal = sharedJournal();
    const QSignalBlocker quiet(batchList);
    batchList->clear();
    const auto &batches = journal.batches();
    int selectedRow = batches.empty() ? -1 : 0;
    for (auto batch = batches.rbegin(); batch != batches.rend(); ++batch) {
        QString line = QDateTime::fromSecsSinceEpoch(batch->time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                       QStringLiteral("   ") + describeBatch(journal, *batch, currentLanguage);
        if (batch->interrupted)
            line += QStringLiteral(" — ") + historyText(HistoryText::Interrupted, currentLanguage);
        auto *item = new QListWidgetItem(line, batchList);
        item->setData(kBatchRole, QVariant::fromValue<qulonglong>(batch->id));
        if (batch->id == selected)
            selectedRow = batchList->count() - 1;
    }
    batchList->setCurrentRow(selectedRow);
    showMoves();
}

void HistoryWindow::updateLanguage()
{
    applyLanguageText(restoreButton, UiTexts::restoreButton, currentLanguage);
    applyLanguageText(closeButton, UiTexts::historyCloseButton, currentLanguage);
    if (const auto title = languageText(UiTexts::historyTitle, currentLanguage))
        setWindowTitle(*title);
    if (isVisible())
        refill();
}

std::uint64_t HistoryWindow::selectedBatch() const
{
    const QListWidgetItem *item = batchList->currentItem();
    return item ? item->data(kBatchRole).toULongLong() : 0;
}

void HistoryWindow::showMoves()
{
    moveList->clear();
    const JournalBatch *batch = sharedJournal().find(selectedBatch());
    restoreButton->setEnabled(batch != nullptr);
    if (!batch)
        return;
    const auto records = recordsByFolder();
    for (std::size_t i = 0; i < batch->moves().size(); ++i) {
        const EntryMove &move = batch->moves()[i];
        const fs::path folder = modFolderOf(move.from);
        const auto record = records.find(folder.native());
        const QString name = record != records.end() ? historyModName(*record->second)
                                                     : qStringFromPath(folder.filename());
        QString line = historyText(isInstalled(move.to) ? HistoryText::MoveOn : HistoryText::MoveOff,
                                   currentLanguage)
                           .arg(name);
        if (!batch->made[i])
            line = historyText(HistoryText::NotMoved, currentLanguage).arg(line);
        moveList->addItem(line);
    }
}

void HistoryWindow::restoreSelected()
{
    SwitchJournal &journal = sharedJournal();
    const JournalBatch *batch = journal.find(selectedBatch());
    if (!batch || !sharedCatalogue)
        return;
    const std::uint64_t id = batch->id;
    const QString what = describeBatch(journal, *batch, currentLanguage);
    std::vector<EntryMove> skipped;
    const std::vector<EntryMove> moves = restorePlan(journal, id, &skipped);
    if (moves.empty() && skipped.empty()) {
        emit modsSwitched(historyText(HistoryText::NothingToRestore, currentLanguage));
        return;
    }

    SwitchPlan plan;
    plan.setName = what.toStdString();
    plan.outside = OutsideSet::Leave;
    const auto records = recordsByFolder();
    for (const EntryMove &move : moves) {
        const auto record = records.find(modFolderOf(move.from).native());
        PlannedSwitch planned =
            plannedSwitch(move, record != records.end() ? record->second : nullptr);
        (isInstalled(move.to) ? plan.switchOn : plan.switchOff).push_back(std::move(planned));
    }
    // Mods that are at neither place any more cannot come back; they are named as missing.
    for (const EntryMove &move : skipped) {
        const PlannedSwitch planned = plannedSwitch(move, nullptr);
        ModSetMember member;
        member.category = planned.category;
        member.folder = planned.folder;
        member.on = isInstalled(move.to);
        plan.missing.push_back(member);
    }

    auto *preview = new SwitchPreviewDialog(
        plan, historyText(HistoryText::RestoreHeading, currentLanguage).arg(what), this);
    preview->setObjectName(QStringLiteral("restorePreview"));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    // A restore leaves every mod it does not name as it is; there is no choice to show.
    if (auto *outside = preview->findChild<QCheckBox *>(QStringLiteral("checkBox_outside")))
        outside->hide();
    connect(preview, &QDialog::accepted, this, [this, id, what, moves = plan.moves()] {
        SwitchJournal &journal = sharedJournal();
        if (!sharedCatalogue)
            return;
        RecordedRun run;
        const bool returned = runGuarded(nullptr, FailedCommand::Move, [&] {
            run = runRecordedMoves(*sharedCatalogue, journal, JournalAction::Restore, {}, id, moves);
        });
        refill();
        if (returned)
            emit modsSwitched(recordedRunMessage(journal, run, HistoryText::Restored, what,
                                                 currentLanguage));
    });
    preview->present();
}
