#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// Asks for a mod's note on one line, at most ModNotes::kMaxLength characters,
// starting from the current one; nothing when the user cancels.
std::optional<QString> askForNote(QWidget *parent, const QString &title, const QString &label,
                                  const QString &current);

// What askForNote opens, with the same arguments.
using NoteDialog = std::function<std::optional<QString>(
    QWidget *parent, const QString &title, const QString &label, const QString &current)>;

// Replaces the dialog, for tests (the real one is modal); an empty function
// restores it. Returns the one it replaces.
NoteDialog setNoteDialog(NoteDialog dialog);
