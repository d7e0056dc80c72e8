#include "ui/notes/NoteDialog.h"

#include "library/notes/ModNotes.h"

#include <QInputDialog>
#include <QLineEdit>

#include <utility>

namespace {

std::optional<QString> inputDialog(QWidget *parent, const QString &title, const QString &label,
                                   const QString &current)
{
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("noteDialog"));
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(current);
    if (auto *field = dialog.findChild<QLineEdit *>())
        field->setMaxLength(static_cast<int>(ModNotes::kMaxLength));
    dialog.resize(480, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

NoteDialog &currentDialog()
{
    static NoteDialog dialog;
    return dialog;
}

} // namespace

std::optional<QString> askForNote(QWidget *parent, const QString &title, const QString &label,
                                  const QString &current)
{
    if (const NoteDialog &dialog = currentDialog())
        return dialog(parent, title, label, current);
    return inputDialog(parent, title, label, current);
}

NoteDialog setNoteDialog(NoteDialog dialog)
{
    return std::exchange(currentDialog(), std::move(dialog));
}
