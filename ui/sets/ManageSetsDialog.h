#pragma once

#include <QDialog>

#include <filesystem>
#include <memory>

namespace Ui {
class ManageSetsDialog;
}

// Renames, duplicates and deletes (after a confirmation) the saved sets of a
// folder. Questions go through the Sets menu's answers (setSetsMenuAnswers).
class ManageSetsDialog : public QDialog
{
    Q_OBJECT

public:
    ManageSetsDialog(const std::filesystem::path &folder, QWidget *parent = nullptr);
    ~ManageSetsDialog() override;

    void renameSelected();
    void duplicateSelected();
    void deleteSelected();

private:
    void fillList();
    void report(const QString &message);

    std::unique_ptr<Ui::ManageSetsDialog> form;
    std::filesystem::path folder;
};
