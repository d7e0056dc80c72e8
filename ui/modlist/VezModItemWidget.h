#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;
struct ModRecord;

// One row of the mod list: the record's id, name, developer, version and state,
// with its Install/Uninstall and open buttons. The record belongs to the
// catalogue; the row lives only as long as the record does.
class VezModItemWidget : public QWidget
{
    Q_OBJECT

public:
    VezModItemWidget(ModRecord &record, QWidget *parent);

    // Re-reads the record into the labels, the state colour and the button.
    void refresh();
    // Shows another record, without a duplicate mark or note: a row widget
    // costs far more to build than to fill.
    void showRecord(ModRecord &other);
    // The button and state texts of currentLanguage.
    void updateLanguage();
    // Shows the self ID in the warning colour, with a tip naming the folders of
    // the other mods that declare it.
    void markDuplicate(const QStringList &otherModFolders);
    // A small mark in the row's left margin with the note as its tip; an
    // empty note takes the mark away. The columns do not move.
    void showNote(const QString &note);

    // The name a row shows: displayName, else shortName, else "None".
    static QString rowName(const ModRecord &record);

private slots:
    void onInstallButtonClicked();
    void openInURLButtonClicked();

private:
    void showState();
    void showDuplicateNote();

    QLabel *selfIdLabel;
    QLabel *nameLabel;
    QLabel *stateLabel;
    QLabel *developerLabel;
    QLabel *versionLabel;
    QPushButton *installButton;
    QPushButton *openButton;
    ModRecord *record;
    QStringList duplicateFolders;
    QLabel *noteMark = nullptr; // made with the first note
};
