#pragma once

#include "library/import/ImportProgress.h"
#include "library/import/ModArchive.h"
#include "library/sets/ModSetError.h"
#include "settings/UiLanguage.h"

#include <QString>

#include <array>
#include <cstddef>
#include <optional>

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;

// Every text the windows show, compiled in as UTF-8. Each element has a set-up
// text (what its form or constructor writes first) and one text per language.
struct UiText
{
    const char *element; // object name of a window element, field name of a row element
    const char *setUp;
    const char *english;
    const char *chinese;
    const char *russian;
};

// The text of `language`; nothing for a value outside the three languages, for
// which the apply operations leave the element as it is.
std::optional<QString> languageText(const UiText &text, UiLanguage language);
QString setUpText(const UiText &text);

// Set the element's language text (a menu's title) when the language has one.
void applyLanguageText(QAbstractButton *button, const UiText &text, UiLanguage language);
void applyLanguageText(QLabel *label, const UiText &text, UiLanguage language);
void applyLanguageText(QAction *action, const UiText &text, UiLanguage language);
void applyLanguageText(QMenu *menu, const UiText &text, UiLanguage language);

namespace UiTexts {

// Main panel, named after the object names; context "MainPanel".
extern const UiText menuFile;
extern const UiText menuFeatures;
extern const UiText menuLanguage;
extern const UiText backToMainLink;
extern const UiText actionImport_Mod_AirCraft;
extern const UiText actionImport_Mod_Tech;
extern const UiText actionReload;
extern const UiText actionDisable_All;
extern const UiText actionEnable_All;
extern const UiText actionMore_Mod;
extern const UiText actionAbout_Author_2;
extern const UiText actionEnglish;
extern const UiText actionChinese;
extern const UiText actionRussian;
extern const UiText label_selfID;
extern const UiText label_name;
extern const UiText label_developer;
extern const UiText label_version;
extern const UiText label_state;
// The nineteen above in this order: three menus, eleven actions, five headings.
extern const std::array<const UiText *, 19> mainPanel;

// Importing archives, dropping, and the progress window of a long import.
extern const UiText actionImport_Archive_AirCraft;
extern const UiText actionImport_Archive_Tech;
extern const UiText dropAircraft; // the menu that a drop opens
extern const UiText dropTech;
extern const UiText archiveDialogCaption;
extern const UiText archiveDialogFilter; // the name of the type list
extern const UiText importProgressTitle;
extern const UiText pushButton_Cancel;

// Directory window; context "MainWindow".
extern const UiText pushButton;
extern const UiText pushButton_Confirm;
extern const UiText label;
extern const std::array<const UiText *, 3> directoryWindow;

// Mod row; the installed state picks between the paired texts.
extern const UiText installButtonEnabled;  // "Uninstall"
extern const UiText installButtonDisabled; // "Install"
extern const UiText stateLabelEnabled;
extern const UiText stateLabelDisabled;
extern const UiText openButton;

// Finding a mod. The filter field's placeholder; the note on a self ID that
// other mods declare too, %1 standing for their folders, one per line.
extern const UiText filterEdit;
extern const UiText duplicateSelfId;

// Organising the library: the row menu, notes, copying the list, the recycle
// bin, and the status-bar lines these give (%1, %2, %3 as noted).
extern const UiText rowMenuInstall;   // the menu's entry while the mod is off
extern const UiText rowMenuUninstall; // while it is on
extern const UiText rowMenuOpenFolder;
extern const UiText rowMenuCopyId;
extern const UiText rowMenuCopyFolderPath;
extern const UiText rowMenuNote;
extern const UiText rowMenuRecycle;
extern const UiText actionCopy_Mod_List;
extern const UiText noteDialogTitle;
extern const UiText noteDialogLabel;     // %1 the mod
extern const UiText recycleTitle;
extern const UiText recycleQuestion;     // %1 the mod, %2 its folder, %3 its size
extern const UiText recycleConfirm;
extern const UiText listCategory;        // headings of the copied list besides the five
extern const UiText listFolder;
extern const UiText measuringSize;       // %1 the mod
extern const UiText movedToRecycleBin;   // %1 the mod
extern const UiText recycleRefused;      // %1 the mod, %2 the reason
extern const UiText noRecycleBin;
extern const UiText modListCopied;       // %1 the number of mods
extern const UiText notesDamaged;        // %1 the file, %2 the line
extern const UiText notesRefused;        // %1 the file
extern const UiText listOrderDamaged;    // %1 the file, %2 the line

// The same in every language.
inline constexpr char folderDialogCaption[] = "Select Folder";
inline constexpr char closeEntry[] = "\u2573";
inline constexpr char noName[] = "None";
inline constexpr char filterCount[] = "%1 / %2"; // rows shown / rows in the list

} // namespace UiTexts

// The commands whose failure the status bar reports.
enum class FailedCommand
{
    Load,
    Reload,
    Import,
    Move,
    EnableAll,
    DisableAll,
    SaveDirectory,
    SaveLanguage,
    ReadSettings,
    SaveNote,
    SaveListOrder,
    ReadNotes,
    ReadListOrder,
};

// One short status-bar line naming the command, the path (when there is one)
// and the system's reason. Falls back to English outside the three languages.
QString failureMessage(FailedCommand command, UiLanguage language, const QString &path,
                       const QString &reason);
// One status-bar line for entry files the system refused to move: names the mod
// when it is the only one, otherwise gives the number and names the first;
// `reason` is the system's reason for the (first) refusal.
QString refusedMoveMessage(bool enabling, UiLanguage language, std::size_t count,
                           const QString &mod, const QString &reason);
// The text of the language, English outside the three.
QString textIn(const UiText &text, UiLanguage language);
// The reason given when a failure carries none of its own.
QString unknownReason(UiLanguage language);

// Why an archive was refused, in a few words.
QString archiveProblemText(ArchiveProblem problem, UiLanguage language);
// The status-bar line after an import: how many mods and files, or that nothing was found.
QString importSummary(const ImportResult &result, UiLanguage language);
// Why a file was not imported, in a few words.
QString refusalReasonText(RefusalReason reason, UiLanguage language);
// The progress window's lines: what is being done to which mod or archive, and how far along.
QString importProgressCurrent(const ImportStatus &status, UiLanguage language);
QString importProgressCounts(const ImportStatus &status, UiLanguage language);

// Mod sets: the Sets menu, the preview window, the manage window, and their
// messages. Context "MainPanel" for the menu, the window's object name otherwise.
namespace UiTexts {

extern const UiText menuSets;
extern const UiText actionSave_Set;
extern const UiText actionManage_Sets;
extern const UiText actionExport_Set;
extern const UiText actionImport_Set;
extern const UiText actionCopy_Set_Code;
extern const UiText actionPaste_Set_Code;
extern const UiText switchPreviewTitle;
extern const UiText pushButton_Apply;
extern const UiText pushButton_CopyMissing;
extern const UiText checkBox_outside;
extern const UiText manageSetsTitle;
extern const UiText pushButton_Rename;
extern const UiText pushButton_Duplicate;
extern const UiText pushButton_Delete;
extern const UiText pushButton_Close;
extern const UiText setFileFilter; // the name of the type list of .t3set files

} // namespace UiTexts

// The sets' sentences; %1, %2... as each one's comment in UiTexts.cpp says.
enum class SetText
{
    HeadingApply,
    HeadingFile,
    HeadingCode,
    Counts,
    SectionOn,
    SectionOff,
    SectionMissing,
    SectionOtherVersion,
    SectionAmbiguous,
    AmbiguousChosen,
    AmbiguousNone,
    SectionNamedTwice,
    NothingToSwitch,
    Applied,
    Refused,
    NotReversed,
    Saved,
    CodeCopied,
    Exported,
    FileRefused,
    CodeRefused,
    SaveFailed,
    PromptName,
    PromptRename,
    ConfirmDelete,
    CopyOf,
    ConfirmReplace,
    CurrentName,
    NameTaken,
    Deleted,
    DeleteFailed,
};
QString setText(SetText text, UiLanguage language);
// Why a set file or code was refused, in a few words.
QString setProblemText(ModSetProblem problem, UiLanguage language);

// History: undo, redo, the history window and their messages.
namespace UiTexts {

extern const UiText actionUndo; // when there is nothing to undo
extern const UiText actionRedo;
extern const UiText actionHistory;
extern const UiText historyTitle;
extern const UiText restoreButton;
extern const UiText historyCloseButton;

} // namespace UiTexts

// The sentences of the history; %1, %2... as each one's comment in UiTexts.cpp says.
enum class HistoryText
{
    Install,
    Uninstall,
    EnableAll,
    DisableAll,
    ApplySet,
    Undo,
    Redo,
    Restore,
    UndoAction,
    RedoAction,
    SwitchedOn,
    SwitchedOff,
    Undone,
    Redone,
    Restored,
    Skipped,
    NothingToUndo,
    NothingToRedo,
    NothingToRestore,
    NotKept,
    NotKeptReason,
    Damaged,
    NotOurs,
    Interrupted,
    MoveOn,
    MoveOff,
    NotMoved,
    RestoreHeading,
    Refused,
};
QString historyText(HistoryText text, UiLanguage language);
