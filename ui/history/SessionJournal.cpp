#include "ui/history/SessionJournal.h"

#include "library/catalogue/ModCatalogue.h"
#include "library/history/RecordedSwitching.h"
#include "ui/status/CommandGuard.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"

#include <QStringList>

#include <memory>
#include <system_error>

namespace fs = std::filesystem;

QString describeBatch(const SwitchJournal &journal, const JournalBatch &batch,
                      UiLanguage language)
{
    const QString name = QString::fromStdString(batch.name);
    const QString count = QString::number(batch.madeCount());
    const auto of = [&](HistoryText text) {
        const JournalBatch *target = journal.find(batch.target);
        const QString inner = target && target->id < batch.id
                                  ? describeBatch(journal, *target, language)
                                  : QStringLiteral("#%1").arg(batch.target);
        return historyText(text, language).arg(inner);
    };
    switch (batch.action) {
    case JournalAction::Install:
        return historyText(HistoryText::Install, language).arg(name);
    case JournalAction::Uninstall:
        return historyText(HistoryText::Uninstall, language).arg(name);
    case JournalAction::EnableAll:
        return historyText(HistoryText::EnableAll, language).arg(count);
    case JournalAction::DisableAll:
        return historyText(HistoryText::DisableAll, language).arg(count);
    case JournalAction::ApplySet:
        return historyText(HistoryText::ApplySet, language).arg(name, count);
    case JournalAction::Undo:
        return of(HistoryText::Undo);
    case JournalAction::Redo:
        return of(HistoryText::Redo);
    case JournalAction::Restore:
        break;
    }
    return of(HistoryText::Restore);
}

QString historyModName(const ModRecord &record)
{
    if (!record.displayName.empty())
        return QString::fromStdString(record.displayName);
    if (!record.shortName.empty())
        return QString::fromStdString(record.shortName);
    return qStringFromPath(record.modFolder().filename());
}

QString modNameOf(const fs::path &entryPath)
{
    const fs::path folder = modFolderOf(entryPath);
    std::error_code error;
    if (sharedCatalogue)
        for (const ModRecord &record : sharedCatalogue->records())
            if (fs::absolute(record.modFolder(), error).lexically_normal() == folder)
                return historyModName(record);
    return qStringFromPath(folder.filename());
}

QString journalNotice(SwitchJournal &journal, UiLanguage language)
{
    std::error_code reason;
    std::size_t damaged = 0;
    const QString file = qStringFromPath(SwitchJournal::defaultFile());
    switch (journal.takeProblem(&reason, &damaged)) {
    case JournalProblem::None:
        break;
    case JournalProblem::DamagedLines:
        return historyText(HistoryText::Damaged, language).arg(QString::number(damaged), file);
    case JournalProblem::NotOurs:
        return historyText(HistoryText::NotOurs, language).arg(file);
    case JournalProblem::CannotRead:
    case JournalProblem::CannotWrite:
        return historyText(HistoryText::NotKeptReason, language).arg(file, reasonText(reason));
    }
    return journal.keeping() ? QString() : historyText(HistoryText::NotKept, language);
}

QString recordedRunMessage(SwitchJournal &journal, const RecordedRun &run, HistoryText done,
                           const QString &what, UiLanguage language)
{
    QStringList parts;
    const JournalBatch *batch = run.batch ? journal.find(run.batch) : nullptr;
    if (batch && !run.outcome.complete && run.outcome.refused.index < batch->moves().size()) {
        parts << historyText(HistoryText::Refused, language)
                     .arg(modNameOf(batch->moves()[run.outcome.refused.index].from),
                          reasonText(run.outcome.refused.reason));
    } else if (run.moved > 0) {
        parts << historyText(done, language).arg(what);
    }
    if (!run.skipped.empty())
        parts << historyText(HistoryText::Skipped, language)
                     .arg(QString::number(run.skipped.size()), modNameOf(run.skipped.front().from));
    const QString notice = journalNotice(journal, language);
    if (!notice.isEmpty())
        parts << notice;
    return parts.join(QLatin1Char(' '));
}
