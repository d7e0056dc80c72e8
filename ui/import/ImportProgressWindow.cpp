#include "ui/import/ImportProgressWindow.h"

#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/UiTexts.h"
#include "ui_ImportProgressWindow.h"

ImportProgressWindow::ImportProgressWindow(QWidget *parent)
    : QDialog(parent), form(std::make_unique<Ui::ImportProgressWindow>())
{
    form->setupUi(this);
    setWindowModality(Qt::WindowModal);
    if (const auto title = languageText(UiTexts::importProgressTitle, currentLanguage))
        setWindowTitle(*title);
    applyLanguageText(form->pushButton_Cancel, UiTexts::pushButton_Cancel, currentLanguage);
    connect(form->pushButton_Cancel, &QPushButton::clicked, this, &ImportProgressWindow::reject);
}

ImportProgressWindow::~ImportProgressWindow() = default;

void ImportProgressWindow::showStatus(const ImportStatus &status)
{
    form->label_current->setText(importProgressCurrent(status, currentLanguage));
    form->label_counts->setText(importProgressCounts(status, currentLanguage));
    const double share =
        status.bytesTotal ? static_cast<double>(status.bytesDone) / static_cast<double>(status.bytesTotal)
                          : 0.0;
    form->progressBar->setValue(static_cast<int>(std::min(share, 1.0) * form->progressBar->maximum()));
}

bool ImportProgressWindow::cancelRequested() const
{
    return cancelled;
}

void ImportProgressWindow::reject()
{
    cancelled = true;
    form->pushButton_Cancel->setEnabled(false);
}
