#pragma once

#include "library/catalogue/ModLibraryRoots.h"
#include "library/catalogue/ModRecord.h"
#include "settings/UiLanguage.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class HistoryWindow;
class ModFilterBar;
class SetsMenu;
class ImportSession;
class QMimeData;
class DraggableWidget;
class ModNotes;
class SortHeadings;

namespace Ui {
class MainPanel;
}
// The form record that setupUi fills: one pointer per widget, action and menu.
using MainPanelForm = Ui::MainPanel;

// The frameless main window: one row per mod of the shared catalogue under a
// band of column headings, with the program's commands in its menu bar.
class MainPanel : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainPanel(QWidget *parent = nullptr);
    ~MainPanel() override;

    // Replaces every row with one per record, in the given order.
    void showRecords(std::vector<std::reference_wrapper<ModRecord>> records);

    // Undo and redo the last batch of switches (Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y,
    // and their Features entries); the history window (Features → History…).
    void undoLastSwitch();
    void redoLastSwitch();
    void showHistory();

public slots:
    void updateMyLanguage();

private slots:
    void on_backToMainLink_triggered();
    void on_actionImport_Mod_AirCraft_triggered();
    void on_actionImport_Mod_Tech_triggered();
    void on_actionReload_triggered();
    void on_actionDisable_All_triggered();
    void on_actionEnable_All_triggered();
    void on_actionMore_Mod_triggered();
    void on_actionAbout_Author_2_triggered();
    void on_actionEnglish_triggered();
    void on_actionChinese_triggered();
    void on_actionRussian_triggered();

protected:
    // Folders and archives dropped from the file manager are imported.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // Closing the panel stops an import that is running.
    void closeEvent(QCloseEvent *event) override;

private:
    // One folder or archive to import.
    struct ImportItem
    {
        std::filesystem::path path;
        bool archive = false;
    };

    void importInto(ModCategory category);
    void switchAll(bool enabling);
    void importArchiveInto(ModCategory category);
    void importDropped(const std::vector<ImportItem> &items, QPoint globalPosition);
    void runImports(const std::vector<ImportItem> &items, ModCategory category);
    static std::vector<ImportItem> importableItems(const QMimeData *data);
    void reloadRows();
    void switchLanguage(UiLanguage language);

    void setUpHistory();
    void updateHistoryActions();
    void runHistoryStep(bool redo);

    std::unique_ptr<MainPanelForm> form;
    ModFilterBar *filterBar; // owned by the panel
    ImportSession *importSession = nullptr; // the import running now, if any

    // Organising the library: sorting by heading, the row menu, notes, copying the list.
    void setUpOrganising(DraggableWidget *dragStrip);
    void copyModList();
    std::unique_ptr<ModNotes> notes;
    SortHeadings *sortHeadings = nullptr; // owned by the list
    QAction *copyModListAction = nullptr;
    QString dataFileProblems; // shown with the first rows
    SetsMenu *setsMenu = nullptr; // owned by the menu bar
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;
    QAction *historyAction = nullptr;
    HistoryWindow *historyWindow = nullptr; // made when first shown
};

// The one main panel, created at start-up; valid until the program ends.
extern MainPanel *mainPanel;
