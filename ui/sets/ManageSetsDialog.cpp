#include "ui/sets/ManageSetsDialog.h"

#include "ui_ManageSetsDialog.h"

#include "library/platform/PathText.h"
#include "library/sets/ModSetStore.h"
#include "ui/sets/SetsMenu.h"
#include "ui/status/CommandGuard.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/UiTexts.h"

#include <QListWidgetItem>
#include <QPushButton>

namespace fs = std::filesystem;

namespace {

constexpr int kFileRole = Qt::UserRole;

QString utf8(const std::string &text)
{
    return QString::fromStdString(text);
}

} // namespace

ManageSetsDialog::ManageSetsDialog(const fs::path &folder, QWidget *parent)
    : QDialog(parent), form(std::make_unique<Ui::ManageSetsDialog>()), folder(folder)
{
    form->setupUi(this);
    if (const auto title = languageText(UiTexts::manageSetsTitle, currentLanguage))
        setWindowTitle(*title);
    applyLanguageText(form->pushButton_Rename, UiTexts::pushButton_Rename, currentLanguage);
    applyLanguageText(form->pushButton_Duplicate, UiTexts::pushButton_Duplicate, currentLanguage);
    applyLanguageText(form->pushButton_Delete, UiTexts::pushButton_Delete, currentLanguage);
    applyLanguageText(form->pushButton_Close, UiTexts::pushButton_Close, currentLanguage);
    connect(form->pushButton_Rename, &QPushButton::clicked, this, &ManageSetsDialog::renameSelected);
    connect(form->pushButton_Duplicate, &QPushButton::clicked, this,
            &ManageSetsDialog::duplicateSelected);
    connect(form->pushButton_Delete, &QPushButton::clicked, this, &ManageSetsDialog::deleteSelected);
    connect(form->pushButton_Close, &QPushButton::clicked, this, &QDialog::accept);
    fillList();
}

ManageSetsDialog::~ManageSetsDialog() = default;

void ManageSetsDialog::fillList()
{
    form->setList->clear();
    for (const StoredModSet &stored : loadModSets(folder).sets) {
        auto *item = new QListWidgetItem(utf8(stored.set.name), form->setList);
        item->setData(kFileRole, QByteArray::fromStdString(utf8FromPath(stored.file)));
    }
    if (form->setList->count() > 0)
        form->setList->setCurrentRow(0);
}

void ManageSetsDialog::report(const QString &message)
{
    form->label_message->setText(message);
}

namespace {

fs::path fileOf(const QListWidgetItem *item)
{
    return pathFromUtf8(item->data(kFileRole).toByteArray().toStdString());
}

} // namespace

void ManageSetsDialog::renameSelected()
{
    const QListWidgetItem *item = form->setList->currentItem();
    if (!item)
        return;
    const auto name = askSetText(this, setText(SetText::PromptRename, currentLanguage), item->text());
    if (!name || *name == item->text())
        return;
    const fs::path from = fileOf(item);
    const fs::path to = modSetFileFor(folder, name->toStdString());
    if (fs::exists(to) && !fs::equivalent(from, to)) {
        report(setText(SetText::NameTaken, currentLanguage).arg(*name));
        return;
    }
    try {
        ModSet set = readModSetFile(from);
        set.name = name->toStdString();
        std::error_code failure;
        if (!writeModSetFile(to, set, failure)) {
            report(setText(SetText::SaveFailed, currentLanguage).arg(*name, reasonText(failure)));
            return;
        }
        if (to != from)
            fs::remove(from, failure);
        report(setText(SetText::Saved, currentLanguage).arg(*name));
    } catch (const std::exception &error) {
        report(setText(SetText::SaveFailed, currentLanguage)
                   .arg(*name, QString::fromLocal8Bit(error.what())));
    }
    fillList();
}

void ManageSetsDialog::duplicateSelected()
{
    const QListWidgetItem *item = form->setList->currentItem();
    if (!item)
        return;
    try {
        ModSet set = readModSetFile(fileOf(item));
        const std::string base = set.name;
        QString name = setText(SetText::CopyOf, currentLanguage).arg(utf8(base));
        for (int number = 2; fs::exists(modSetFileFor(folder, name.toStdString())); ++number)
            name = setText(SetText::CopyOf, currentLanguage).arg(utf8(base)) +
                   QStringLiteral(" %1").arg(number);
        set.name = name.toStdString();
        std::error_code failure;
        if (!writeModSetFile(modSetFileFor(folder, set.name), set, failure))
            report(setText(SetText::SaveFailed, currentLanguage).arg(name, reasonText(failure)));
        else
            report(setText(SetText::Saved, currentLanguage).arg(name));
    } catch (const std::exception &error) {
        report(setText(SetText::SaveFailed, currentLanguage)
                   .arg(item->text(), QString::fromLocal8Bit(error.what())));
    }
    fillList();
}

void ManageSetsDialog::deleteSelected()
{
    const QListWidgetItem *item = form->setList->currentItem();
    if (!item)
        return;
    const QString name = item->text();
    if (!confirmSetQuestion(this, setText(SetText::ConfirmDelete, currentLanguage).arg(name)))
        return;
    std::error_code failure;
    if (fs::remove(fileOf(item), failure))
        report(setText(SetText::Deleted, currentLanguage).arg(name));
    else
        report(setText(SetText::DeleteFailed, currentLanguage).arg(name, reasonText(failure)));
    fillList();
}
