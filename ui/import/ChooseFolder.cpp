#include "ui/import/ChooseFolder.h"

#include "ui/texts/UiTexts.h"

#include <utility>

namespace {

FolderDialog &installedDialog()
{
    static FolderDialog dialog;
    return dialog;
}

} // namespace

std::string chooseFolder(QWidget *parent)
{
    const QString caption = QString::fromUtf8(UiTexts::folderDialogCaption);
    const QFileDialog::Options options =
        QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks;
    const FolderDialog &dialog = installedDialog();
    const QString folder =
        dialog ? dialog(parent, caption, QString(), options)
               : QFileDialog::getExistingDirectory(parent, caption, QString(), options);
    return folder.toStdString();
}

FolderDialog setFolderDialog(FolderDialog dialog)
{
    return std::exchange(installedDialog(), std::move(dialog));
}
