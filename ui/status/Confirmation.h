#pragma once

#include <QString>

#include <functional>

class QWidget;

// A question the user must answer before something hard to undo: a modal box
// with a confirming and a cancelling button. True when the user confirms.
bool askToConfirm(QWidget *parent, const QString &title, const QString &question,
                  const QString &confirmText, const QString &cancelText);

// What askToConfirm opens, with the same arguments.
using ConfirmDialog = std::function<bool(QWidget *parent, const QString &title,
                                         const QString &question, const QString &confirmText,
                                         const QString &cancelText)>;

// Replaces the box, for tests (the real one is modal); an empty function
// restores it. Returns the one it replaces.
ConfirmDialog setConfirmDialog(ConfirmDialog dialog);
