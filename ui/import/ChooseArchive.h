#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;

// The file dialog "Select Archive", offering the archive types the import
// reads; the chosen file as UTF-8, or empty text when the dialog is cancelled.
std::string chooseArchive(QWidget *parent = nullptr);

// What chooseArchive opens: the arguments of QFileDialog::getOpenFileName.
using ArchiveDialog = std::function<QString(QWidget *parent, const QString &caption,
                                            const QString &directory, const QString &filter)>;

// Replaces the dialog, for tests (the real one is modal); an empty function
// restores it. Returns the one it replaces.
ArchiveDialog setArchiveDialog(ArchiveDialog dialog);
