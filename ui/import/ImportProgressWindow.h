#pragma once

#include "library/import/ImportProgress.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ImportProgressWindow;
}

// The modal window over the main panel while a long import runs: what is
// being imported, files and megabytes done of the total, and Cancel.
class ImportProgressWindow : public QDialog
{
    Q_OBJECT

public:
    explicit ImportProgressWindow(QWidget *parent);
    ~ImportProgressWindow() override;

    void showStatus(const ImportStatus &status);
    bool cancelRequested() const;

public slots:
    // Escape and the window's close button cancel the import, as Cancel does.
    void reject() override;

private:
    std::unique_ptr<Ui::ImportProgressWindow> form;
    bool cancelled = false;
};
