#pragma once

#include <QFileDialog>
#include <QString>

#include <functional>
#include <string>

class QWidget;

// The folder dialog "Select Folder" (folders only, links not resolved); the
// chosen folder exactly as the dialog gives it, as UTF-8, or empty text when
// the dialog is cancelled.
std::string chooseFolder(QWidget *parent = nullptr);

// What chooseFolder opens: the arguments of QFileDialog::getExistingDirectory.
using FolderDialog = std::function<QString(QWidget *parent, const QString &caption,
                                           const QString &directory, QFileDialog::Options options)>;

// Replaces the dialog, for tests (the real one is modal); an empty function
// restores it. Returns the one it replaces.
FolderDialog setFolderDialog(FolderDialog dialog);
