// Undo, redo and the history window through the real windows: the keys, the
// Features entries, the status bar, restoring through the preview, and a
// journal that cannot be kept.

#include "ui/history/HistoryWindow.h"

#include "app/AppState.h"
#include "app/ProgramWindows.h"
#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/history/SwitchJournal.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestMods.h"
#include "ui/modlist/VezModItemWidget.h"
#include "ui/modlist/VezModList.h"
#include "ui/sets/SwitchPreviewDialog.h"
#include "ui/windows/MainPanel.h"
#include "ui/windows/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

constexpr int kMods = 5;

} // namespace

class HistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keysUndoAndRedoBulkSwitchesAndSayWhat();
    void filterFieldKeepsItsOwnUndo();
    void historyWindowRestoresThroughThePreview();
    void unkeptHistoryIsSaidButSwitchingGoesOn();
    void screenshotsInThreeLanguages_data();
    void screenshotsInThreeLanguages();

private:
    void start(const char *languageCode, bool writeMods = true);
    int enabledCount() const;
    QString status() const;
    void press(QKeySequence keys);

    std::unique_ptr<TempDir> dir;
    std::unique_ptr<WorkingDirectoryScope> workingDirectory;
    std::unique_ptr<ProgramWindows> windows;
};

void HistoryTest::init()
{
    dir = std::make_unique<TempDir>();
    workingDirectory = std::make_unique<WorkingDirectoryScope>(dir->path());
}

void HistoryTest::cleanup()
{
    SwitchPreviewDialog::setAnswerForTests({});
    windows.reset();
    sharedCatalogue.reset();
    currentLanguage = UiLanguage::English;
    workingDirectory.reset();
    dir.reset();
}

void HistoryTest::start(const char *languageCode, bool writeMods)
{
    writeFile(*dir / "data" / "root.lua",
              std::string("local Language = \"") + languageCode + "\"\r\nlocal DIRECTORY = \"\"\r\n");
    const char *names[kMods] = {"Kestrel", "Heron", "Osprey", "Plover", "Tanker"};
    for (int i = 0; i < kMods && writeMods; ++i)
        writeTestMod(*dir / "mods", {i == kMods - 1 ? "tech" : "aircraft", names[i],
                                     "m" + std::to_string(i), std::string(names[i]) + " Mk II", "",
                                     "Test Works", "1.0", true});
    currentLanguage = UiLanguage::English;
    loadLanguageSetting();
    windows = std::make_unique<ProgramWindows>();
    child<QLineEdit>(directoryWindow, "lineEdit")
        ->setText(QString::fromStdString((*dir / "mods").string()));
    QTest::mouseClick(child<QPushButton>(directoryWindow, "pushButton_Confirm"), Qt::LeftButton);
    QVERIFY(mainPanel->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(mainPanel));
}

int HistoryTest::enabledCount() const
{
    int count = 0;
    for (const ModRecord &record : sharedCatalogue->records())
        count += fs::exists(record.modFolder() / kEntryFileName) ? 1 : 0;
    return count;
}

QString HistoryTest::status() const
{
    return child<QStatusBar>(mainPanel, "statusbar")->currentMessage();
}

void HistoryTest::press(QKeySequence keys)
{
    QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : mainPanel, keys);
}

void HistoryTest::keysUndoAndRedoBulkSwitchesAndSayWhat()
{
    start("EN");
    child<QAction>(mainPanel, "actionDisable_All")->trigger();
    QCOMPARE(enabledCount(), 0);
    QCOMPARE(status(), QStringLiteral("5 mods switched off. Ctrl+Z to undo."));

    auto *features = child<QMenu>(mainPanel, "menuFeatures");
    emit features->aboutToShow();
    QCOMPARE(child<QAction>(mainPanel, "actionUndo")->text(),
             QStringLiteral("Undo Disable All (5 mods)"));
    emit features->aboutToHide();

    mainPanel->setFocus();
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(enabledCount(), kMods);
    QCOMPARE(status(), QStringLiteral("Undone: Disable All (5 mods)."));
    for (int i = 0; i < child<VezModList>(mainPanel, "listWidget")->count(); ++i)
        QCOMPARE(child<VezModList>(mainPanel, "listWidget")
                     ->rowWidgetAt(i)
                     ->findChild<QLabel *>(QStringLiteral("stateLabel"))
                     ->text(),
                 QStringLiteral("enabled"));

    press(QKeySequence(Qt::CTRL | Qt::Key_Y));
    QCOMPARE(enabledCount(), 0);
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(enabledCount(), kMods);
    press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QCOMPARE(enabledCount(), 0);
    QCOMPARE(status(), QStringLiteral("Redone: Disable All (5 mods)."));

    // A row's switch is undone the same way, and survives a restart.
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    VezModItemWidget *row = child<VezModList>(mainPanel, "listWidget")->rowWidgetAt(0);
    QTest::mouseClick(row->findChild<QPushButton *>(QStringLiteral("installButton")),
                      Qt::LeftButton);
    QCOMPARE(enabledCount(), kMods - 1);
    windows.reset();
    sharedCatalogue.reset();
    start("EN", false);
    features = child<QMenu>(mainPanel, "menuFeatures");
    emit features->aboutToShow();
    QVERIFY(child<QAction>(mainPanel, "actionUndo")->text().startsWith(QStringLiteral("Undo Uninstall ")));
    emit features->aboutToHide();
    mainPanel->setFocus();
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(enabledCount(), kMods);
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(status(), QStringLiteral("Nothing to undo."));
}

void HistoryTest::filterFieldKeepsItsOwnUndo()
{
    start("EN");
    child<QAction>(mainPanel, "actionDisable_All")->trigger();
    auto *filter = child<QLineEdit>(mainPanel, "filterEdit");
    filter->setFocus();
    QTest::keyClicks(filter, "her");
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QVERIFY(filter->text().size() < 3); // the field's typing was undone
    QCOMPARE(enabledCount(), 0);        // the mods were not
}

void HistoryTest::historyWindowRestoresThroughThePreview()
{
    start("EN");
    auto *list = child<VezModList>(mainPanel, "listWidget");
    QTest::mouseClick(list->rowWidgetAt(0)->findChild<QPushButton *>(QStringLiteral("installButton")),
                      Qt::LeftButton);
    child<QAction>(mainPanel, "actionDisable_All")->trigger();
    child<QAction>(mainPanel, "actionEnable_All")->trigger();
    QCOMPARE(enabledCount(), kMods);

    mainPanel->showHistory();
    auto *history = child<HistoryWindow>(mainPanel, "HistoryWindow");
    auto *batches = child<QListWidget>(history, "batchList");
    QCOMPARE(batches->count(), 3);
    QVERIFY(batches->item(0)->text().contains(QStringLiteral("Enable All (5 mods)")));
    QVERIFY(batches->item(1)->text().contains(QStringLiteral("Disable All (4 mods)")));
    batches->setCurrentRow(1);
    auto *moves = child<QListWidget>(history, "moveList");
    QCOMPARE(moves->count(), kMods - 1);
    QVERIFY(moves->item(0)->text().endsWith(QStringLiteral(" Mk II → disabled")));

    // Before the Disable All one mod was off: the preview offers to switch it off again.
    int shownOff = -1;
    SwitchPreviewDialog::setAnswerForTests([&](SwitchPreviewDialog &preview) {
        shownOff = int(preview.plan().switchOff.size());
        return true;
    });
    QTest::mouseClick(child<QPushButton>(history, "restoreButton"), Qt::LeftButton);
    QCOMPARE(shownOff, 1);
    QCOMPARE(enabledCount(), kMods - 1);
    QVERIFY(status().startsWith(QStringLiteral("Restored to before Disable All (4 mods).")));
    QCOMPARE(batches->count(), 4);

    // Cancel moves nothing.
    SwitchPreviewDialog::setAnswerForTests([](SwitchPreviewDialog &) { return false; });
    batches->setCurrentRow(batches->count() - 1);
    QTest::mouseClick(child<QPushButton>(history, "restoreButton"), Qt::LeftButton);
    QCOMPARE(enabledCount(), kMods - 1);
    QCOMPARE(batches->count(), 4);
}

void HistoryTest::unkeptHistoryIsSaidButSwitchingGoesOn()
{
    fs::create_directories(*dir / SwitchJournal::defaultFile()); // a folder where the file belongs
    start("RU");
    child<QAction>(mainPanel, "actionDisable_All")->trigger();
    QCOMPARE(enabledCount(), 0);
    QVERIFY2(status().contains(QStringLiteral("История не сохраняется")), qPrintable(status()));
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(enabledCount(), kMods);
}

void HistoryTest::screenshotsInThreeLanguages_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("restore");
    QTest::newRow("EN") << "EN" << QStringLiteral("Restore to before this");
    QTest::newRow("CN") << "CN" << QStringLiteral("恢复到此操作之前");
    QTest::newRow("RU") << "RU" << QStringLiteral("Вернуть как было до этого");
}

void HistoryTest::screenshotsInThreeLanguages()
{
    QFETCH(QString, code);
    QFETCH(QString, restore);
    start(code.toLatin1().constData());
    auto *list = child<VezModList>(mainPanel, "listWidget");
    QTest::mouseClick(list->rowWidgetAt(1)->findChild<QPushButton *>(QStringLiteral("installButton")),
                      Qt::LeftButton);
    child<QAction>(mainPanel, "actionDisable_All")->trigger();
    mainPanel->undoLastSwitch();
    mainPanel->showHistory();
    auto *history = child<HistoryWindow>(mainPanel, "HistoryWindow");
    QVERIFY(QTest::qWaitForWindowExposed(history));
    child<QListWidget>(history, "batchList")->setCurrentRow(1);
    QCOMPARE(child<QPushButton>(history, "restoreButton")->text(), restore);
    saveScreenshot(history->grab().toImage(), QStringLiteral("history-window-") + code);
}

QTEST_MAIN(HistoryTest)
#include "HistoryTest.moc"
