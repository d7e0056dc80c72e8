#include "ui/import/ChooseArchive.h"

#include "ui/texts/CurrentLanguage.h"
#include "library/import/ModArchive.h"
#include "ui/texts/UiTexts.h"

#include <QFileDialog>
#include <QStringList>

#include <utility>

namespace {

ArchiveDialog &installedDialog()
{
    static ArchiveDialog dialog;
    return dialog;
}

} // namespace

std::string chooseArchive(QWidget *parent)
{
    const QString caption =
        languageText(UiTexts::archiveDialogCaption, currentLanguage).value_or(setUpText(UiTexts::archiveDialogCaption));
    QStringList patterns;
    for (const std::string &pattern : archiveFilePatterns())
        patterns.append(QString::fromStdString(pattern));
    const QString filter = languageText(UiTexts::archiveDialogFilter, currentLanguage)
                               .value_or(setUpText(UiTexts::archiveDialogFilter)) +
                           QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                           QLatin1Char(')');
    const ArchiveDialog &dialog = installedDialog();
    const QString file = dialog ? dialog(parent, caption, QString(), filter)
                                : QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    return file.toStdString();
}

ArchiveDialog setArchiveDialog(ArchiveDialog dialog)
{
    return std::exchange(installedDialog(), std::move(dialog));
}
