#include "ui/status/Confirmation.h"

#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace {

bool messageBox(QWidget *parent, const QString &title, const QString &question,
                const QString &confirmText, const QString &cancelText)
{
    QMessageBox box(QMessageBox::Warning, title, question, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("confirmation"));
    QPushButton *confirmButton = box.addButton(confirmText, QMessageBox::AcceptRole);
    QPushButton *cancelButton = box.addButton(cancelText, QMessageBox::RejectRole);
    // Enter alone must not delete anything.
    box.setDefaultButton(cancelButton);
    box.setEscapeButton(cancelButton);
    box.exec();
    return box.clickedButton() == confirmButton;
}

ConfirmDialog &currentDialog()
{
    static ConfirmDialog dialog;
    return dialog;
}

} // namespace

bool askToConfirm(QWidget *parent, const QString &title, const QString &question,
                  const QString &confirmText, const QString &cancelText)
{
    if (const ConfirmDialog &dialog = currentDialog())
        return dialog(parent, title, question, confirmText, cancelText);
    return messageBox(parent, title, question, confirmText, cancelText);
}

ConfirmDialog setConfirmDialog(ConfirmDialog dialog)
{
    return std::exchange(currentDialog(), std::move(dialog));
}
