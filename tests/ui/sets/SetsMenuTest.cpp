// The Sets menu through the running program in a temporary working directory:
// saving, applying through the preview, codes, files, managing, screenshots.

#include "ui/sets/SetsMenu.h"

#include "app/AppState.h"
#include "app/ProgramWindows.h"
#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/sets/ModSetStore.h"
#include "library/sets/ShareCode.h"
#include "tests/support/TempDir.h"
#include "ui/sets/ManageSetsDialog.h"
#include "ui/sets/SwitchPreviewDialog.h"
#include "ui/windows/MainPanel.h"
#include "ui/windows/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path kSourceData = TESSEL3_SOURCE_DIR "/data";
const fs::path kSourceMods = TESSEL3_SOURCE_DIR "/examples/mods";

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

QMenu *setsMenu()
{
    return child<QMenu>(mainPanel, "menuSets");
}

QString status()
{
    return mainPanel->statusBar()->currentMessage();
}

// Folder name to on/off for every mod under the folder.
std::map<std::string, bool> states(const fs::path &mods)
{
    std::map<std::string, bool> result;
    for (const char *category : {"aircraft", "tech"})
        for (const auto &item : fs::directory_iterator(mods / category))
            result[item.path().filename().string()] = fs::exists(item.path() / kEntryFileName);
    return result;
}

void saveShot(const QImage &image, const QString &name)
{
    const QByteArray folder = qgetenv("TESSEL3_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(QString::fromLocal8Bit(folder));
    image.save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class SetsMenuTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void savedSetComesBackThroughThePreview();
    void cancelInThePreviewMovesNothing();
    void codesAndFilesGoThroughThePreviewAndRefuseBadInput();
    void manageRenamesDuplicatesAndDeletesAfterAsking();
    void screenshotsInThreeLanguages_data();
    void screenshotsInThreeLanguages();

private:
    void start(const char *languageCode);
    QAction *entry(const QString &name);

    std::unique_ptr<TempDir> dir;
    std::unique_ptr<WorkingDirectoryScope> workingDirectory;
    std::unique_ptr<ProgramWindows> windows;
    fs::path mods;
};

void SetsMenuTest::init()
{
    dir = std::make_unique<TempDir>();
    workingDirectory = std::make_unique<WorkingDirectoryScope>(dir->path());
}

void SetsMenuTest::cleanup()
{
    SwitchPreviewDialog::setAnswerForTests({});
    setSetsMenuAnswers({});
    windows.reset();
    sharedCatalogue.reset();
    currentLanguage = UiLanguage::English;
    workingDirectory.reset();
    dir.reset();
}

// The program with the demo mods confirmed.
void SetsMenuTest::start(const char *languageCode)
{
    writeFile(*dir / "data" / "root.lua", std::string("local Language = \"") + languageCode +
                                              "\"\r\nlocal DIRECTORY = \"\"\r\n");
    fs::copy_file(kSourceData / "background.png", *dir / "data" / "background.png");
    mods = *dir / "mods";
    fs::copy(kSourceMods, mods, fs::copy_options::recursive);
    currentLanguage = UiLanguage::English;
    loadLanguageSetting();
    windows = std::make_unique<ProgramWindows>();
    child<QLineEdit>(directoryWindow, "lineEdit")->setText(QString::fromStdString(mods.string()));
    QTest::mouseClick(child<QPushButton>(directoryWindow, "pushButton_Confirm"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(mainPanel));
}

QAction *SetsMenuTest::entry(const QString &name)
{
    emit setsMenu()->aboutToShow();
    for (QAction *action : setsMenu()->actions())
        if (action->objectName() == QStringLiteral("setEntry") && action->text() == name)
            return action;
    return nullptr;
}

void SetsMenuTest::savedSetComesBackThroughThePreview()
{
    start("EN");
    const auto saved = states(mods);
    setSetsMenuAnswers({[](QWidget *, const QString &, const QString &) {
                            return std::optional<QString>(QStringLiteral("Squadron"));
                        },
                        {},
                        {}});
    child<QAction>(mainPanel, "actionSave_Set")->trigger();
    QVERIFY(fs::exists(*dir / "data" / "sets" / "Squadron.t3set"));
    QVERIFY(entry(QStringLiteral("Squadron"))->isChecked());

    child<QAction>(mainPanel, "actionDisable_All")->trigger();
    QVERIFY(!entry(QStringLiteral("Squadron"))->isChecked());
    std::size_t planned = 0;
    SwitchPreviewDialog::setAnswerForTests([&](SwitchPreviewDialog &preview) {
        planned = preview.plan().switchOn.size();
        return true;
    });
    entry(QStringLiteral("Squadron"))->trigger();
    QCOMPARE(planned, std::size_t(4)); // the demo has one mod off
    QCOMPARE(states(mods), saved);
    QVERIFY2(status().contains(QStringLiteral("4 on")), qPrintable(status()));
    QVERIFY(entry(QStringLiteral("Squadron"))->isChecked());
    // The rows were rebuilt from the switched records.
    QCOMPARE(child<QListWidget>(mainPanel, "listWidget")->count(), 5);
}

void SetsMenuTest::cancelInThePreviewMovesNothing()
{
    start("EN");
    writeFile(*dir / "data" / "sets" / "Empty.t3set",
              R"({"format":"tessel3-set","version":1,"name":"Empty","members":[]})");
    const auto before = states(mods);
    SwitchPreviewDialog::setAnswerForTests([](SwitchPreviewDialog &preview) {
        return preview.plan().switchOff.empty(); // Cancel
    });
    entry(QStringLiteral("Empty"))->trigger();
    QCOMPARE(states(mods), before);
}

void SetsMenuTest::codesAndFilesGoThroughThePreviewAndRefuseBadInput()
{
    start("RU");
    ModSet wanted{"Сервер", {{ModCategory::Aircraft, "Kestrel-K1", "", "", "", true},
                             {ModCategory::Tech, "Nowhere", "nowhere.id", "Ghost", "3.1", true}}};
    QString missing;
    SwitchPreviewDialog::setAnswerForTests([&](SwitchPreviewDialog &preview) {
        missing = preview.missingText();
        return true;
    });

    QGuiApplication::clipboard()->setText(QStringLiteral("tessel3-set:1:broken:00000000"));
    child<QAction>(mainPanel, "actionPaste_Set_Code")->trigger();
    QVERIFY2(status().startsWith(QStringLiteral("Код набора отклонён")), qPrintable(status()));
    QVERIFY(missing.isEmpty());

    QGuiApplication::clipboard()->setText(QString::fromStdString(modSetToShareCode(wanted)));
    child<QAction>(mainPanel, "actionPaste_Set_Code")->trigger();
    QCOMPARE(missing, QStringLiteral("nowhere.id | Ghost | 3.1 | Техника"));
    const auto after = states(mods);
    for (const auto &[folder, on] : after)
        QCOMPARE(on, folder == "Kestrel-K1");
    // A pasted set is kept among the sets once applied.
    QVERIFY(fs::exists(*dir / "data" / "sets" / "Сервер.t3set"));

    const fs::path bad = *dir / "bad.t3set";
    writeFile(bad, "{\"format\":\"tessel3-set\",\"version\":1,\"name\":\"x\",\"members\":[{");
    const fs::path exported = *dir / "out" / "mine";
    fs::create_directories(exported.parent_path());
    setSetsMenuAnswers({{}, {}, [&](QWidget *, bool saving, const QString &) {
                            return QString::fromStdString((saving ? exported : bad).string());
                        }});
    child<QAction>(mainPanel, "actionImport_Set")->trigger();
    QVERIFY2(status().contains(QStringLiteral("bad.t3set")), qPrintable(status()));
    QCOMPARE(states(mods), after);

    child<QAction>(mainPanel, "actionExport_Set")->trigger();
    const ModSet back = readModSetFile(fs::path(exported) += ".t3set");
    QCOMPARE(back.members.size(), std::size_t(5));
}

void SetsMenuTest::manageRenamesDuplicatesAndDeletesAfterAsking()
{
    start("EN");
    const fs::path sets = *dir / "data" / "sets";
    writeFile(sets / "One.t3set", R"({"format":"tessel3-set","version":1,"name":"One","members":[]})");
    bool yes = false;
    setSetsMenuAnswers({[](QWidget *, const QString &, const QString &) {
                            return std::optional<QString>(QStringLiteral("Two"));
                        },
                        [&](QWidget *, const QString &) { return yes; },
                        {}});
    ManageSetsDialog dialog(sets);
    dialog.renameSelected();
    QVERIFY(!fs::exists(sets / "One.t3set"));
    QCOMPARE(readModSetFile(sets / "Two.t3set").name, std::string("Two"));
    dialog.duplicateSelected();
    QCOMPARE(loadModSets(sets).sets.size(), std::size_t(2));
    dialog.deleteSelected(); // answered no
    QCOMPARE(loadModSets(sets).sets.size(), std::size_t(2));
    yes = true;
    dialog.deleteSelected();
    QCOMPARE(loadModSets(sets).sets.size(), std::size_t(1));
}

void SetsMenuTest::screenshotsInThreeLanguages_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("English") << "EN";
    QTest::newRow("Chinese") << "CN";
    QTest::newRow("Russian") << "RU";
}

void SetsMenuTest::screenshotsInThreeLanguages()
{
    QFETCH(QString, code);
    start(code.toLatin1().constData());
    writeFile(*dir / "data" / "sets" / "Server.t3set",
              R"({"format":"tessel3-set","version":1,"name":"Server","members":[)"
              R"({"category":"aircraft","folder":"Kestrel-K1","selfId":"","name":"","version":"9.9","on":true},)"
              R"({"category":"tech","folder":"Missing-Mod","selfId":"missing.mod","name":"Missing Mod","version":"2.0","on":true}]})");

    // The menu open over the panel.
    QMenu *menu = setsMenu();
    QMenuBar *bar = mainPanel->menuBar();
    menu->popup(bar->mapToGlobal(bar->actionGeometry(menu->menuAction()).bottomLeft()));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QImage shot = mainPanel->grab().toImage();
    {
        QPainter painter(&shot);
        painter.drawImage(mainPanel->mapFromGlobal(menu->pos()), menu->grab().toImage());
    }
    menu->hide();
    saveShot(shot, QStringLiteral("sets-menu-") + code.toLower());

    bool shown = false;
    SwitchPreviewDialog::setAnswerForTests([&](SwitchPreviewDialog &preview) {
        preview.show();
        shown = QTest::qWaitForWindowExposed(&preview);
        saveShot(preview.grab().toImage(), QStringLiteral("set-preview-") + code.toLower());
        return false;
    });
    entry(QStringLiteral("Server"))->trigger();
    QVERIFY(shown);
}

QTEST_MAIN(SetsMenuTest)
#include "SetsMenuTest.moc"
