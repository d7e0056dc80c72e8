#pragma once

#include "library/history/RecordedSwitching.h"
#include "library/history/SwitchJournal.h"
#include "settings/UiLanguage.h"
#include "ui/texts/UiTexts.h"

#include <QString>

#include <filesystem>

struct ModRecord;

// What the batch was, in words: "Disable All (312 mods)", "Undo Install X".
QString describeBatch(const SwitchJournal &journal, const JournalBatch &batch,
                      UiLanguage language);

// The name the history gives a mod: its display name, else its short name,
// else its folder's name.
QString historyModName(const ModRecord &record);

// The name of the mod whose entry file a path is: its row name when the
// catalogue holds it, else its folder's name.
QString modNameOf(const std::filesystem::path &entryPath);

// The journal's pending problem in one sentence, or nothing; reported once.
// When the journal is not kept and nothing is pending, the short reminder.
QString journalNotice(SwitchJournal &journal, UiLanguage language);

// The status-bar line after an undo, a redo or a restore: `done` with `what`
// (what was undone...), the mods left out, or the refusal that left every
// entry file where it was; then the journal's notice.
QString recordedRunMessage(SwitchJournal &journal, const RecordedRun &run, HistoryText done,
                           const QString &what, UiLanguage language);
