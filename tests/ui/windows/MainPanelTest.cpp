// The whole program through start-up in a temporary working directory: the
// directory window, Confirm, the main panel's commands and the hand-over.

#include "ui/windows/MainPanel.h"

#include "app/AppState.h"
#include "app/ProgramWindows.h"
#include "library/catalogue/Constants.h"
#include "library/import/ModArchive.h"
#include "library/catalogue/ModCatalogue.h"
#include "tests/support/ArchiveWriter.h"
#include "tests/support/TempDir.h"
#include "ui/import/ChooseArchive.h"
#include "ui/import/ChooseFolder.h"
#include "ui/import/ImportSession.h"
#include "ui/windows/MainWindow.h"
#include "ui/modlist/VezModItemWidget.h"
#include "ui/modlist/VezModList.h"
#include "ui/windows/WebAddresses.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const fs::path kSourceData = TESSEL3_SOURCE_DIR "/data";
const fs::path kSourceMods = TESSEL3_SOURCE_DIR "/examples/mods";

// A mod folder with an entry file in the game's usual shape.
void writeMod(const fs::path &modFolder, const std::string &selfId, bool enabled = true)
{
    const fs::path entry =
        enabled ? modFolder / kEntryFileName : modFolder / kStorageFolderName / kEntryFileName;
    writeFile(entry, "local self_ID = \"" + selfId +
                         "\"\n"
                         "declare_plugin(self_ID,\n{\n"
                         "\tdeveloperName = _(\"Test Works\"),\n"
                         "\tdisplayName = _(\"" +
                         selfId +
                         " name\"),\n"
                         "\tversion = \"1.0.0\",\n})\nplugin_done()\n");
}

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

QAction *action(const char *name)
{
    return child<QAction>(mainPanel, name);
}

VezModList *modList()
{
    return child<VezModList>(mainPanel, "listWidget");
}

QList<VezModItemWidget *> rows()
{
    QList<VezModItemWidget *> result;
    for (int i = 0; i < modList()->count(); ++i)
        result.append(modList()->rowWidgetAt(i));
    return result;
}

QString rowText(VezModItemWidget *row, const char *element)
{
    QObject *found = row->findChild<QObject *>(QString::fromLatin1(element));
    if (auto *label = qobject_cast<QLabel *>(found))
        return label->text();
    if (auto *button = qobject_cast<QPushButton *>(found))
        return button->text();
    qFatal("row has no %s", element);
}

QStringList rowSelfIds()
{
    QStringList ids;
    for (VezModItemWidget *row : rows())
        ids.append(rowText(row, "selfIdLabel"));
    return ids;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// Pixels of the image inside `area` within `tolerance` of `colour` on every channel.
int pixelsNear(const QImage &image, const QRect &area, QColor colour, int tolerance)
{
    int count = 0;
    const QRect bounded = area.intersected(image.rect());
    for (int y = bounded.top(); y <= bounded.bottom(); ++y) {
        for (int x = bounded.left(); x <= bounded.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) <= tolerance &&
                std::abs(pixel.green() - colour.green()) <= tolerance &&
                std::abs(pixel.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    }
    return count;
}

} // namespace

class MainPanelTest : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url)
    {
        openedUrls.append(url);
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void startsInTheSavedLanguage();
    void panelIsBuiltAsDescribed();
    void confirmBackConfirmShowsOnlyTheSecondFolder();
    void backThenTheSameConfirmReloadsFromDisk();
    void handOverKeepsTheEventLoopRunning();
    void closeEntryEndsTheEventLoop();
    void closingTheDirectoryWindowAfterBackEndsTheEventLoop();
    void draggingTheHeadingBandMovesThePanel();
    void languageSwitchReachesEveryText();
    void choosingTheActiveLanguageWritesNothing();
    void importAddsModsAircraftFirst();
    void cancelledImportChangesNothing();
    void failedImportShowsItsMessageAndTheModsCopiedBefore();
    void droppedFoldersAndArchivesAreImportedIntoTheChosenCategory();
    void cancelInTheProgressWindowKeepsWhatIsComplete();
    void closingThePanelDuringAnImportCancelsIt();
    void reloadFailureKeepsTheRows();
    void disableAllThenEnableAllKeepTheRowWidgets();
    void failedDisableAllShowsItsMessageAndTheMovesMadeBefore();
    void refusedMovesNameTheModAndTheSystemsReason();
    void webActionsOpenThePagesOfTheLanguage_data();
    void webActionsOpenThePagesOfTheLanguage();
    void screenshotsInThreeLanguages_data();
    void screenshotsInThreeLanguages();
    void missingBackgroundShowsTheFlatColour();
    void hiddenPanelIsStyledOnlyWhenFirstShown();

private:
    void startProgram(const char *languageCode, bool withBackground = true);
    void confirm(const fs::path &modsDirectory);
    fs::path makeMods(const char *name);

    std::unique_ptr<TempDir> dir;
    std::unique_ptr<WorkingDirectoryScope> workingDirectory;
    std::unique_ptr<ProgramWindows> windows;
    QList<QUrl> openedUrls;
};

void MainPanelTest::initTestCase()
{
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
}

void MainPanelTest::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void MainPanelTest::init()
{
    dir = std::make_unique<TempDir>();
    workingDirectory = std::make_unique<WorkingDirectoryScope>(dir->path());
}

void MainPanelTest::cleanup()
{
    windows.reset();
    sharedCatalogue.reset();
    currentLanguage = UiLanguage::English;
    setFolderDialog({});
    openedUrls.clear();
    workingDirectory.reset();
    dir.reset();
}

// Start-up as the program does it, in the temporary working directory.
void MainPanelTest::startProgram(const char *languageCode, bool withBackground)
{
    writeFile(*dir / "data" / "root.lua", std::string("-- settings\r\nlocal Language = \"") +
                                              languageCode + "\"\r\nlocal DIRECTORY = \"\"\r\n");
    if (withBackground)
        fs::copy_file(kSourceData / "background.png", *dir / "data" / "background.png");
    currentLanguage = UiLanguage::English;
    loadLanguageSetting();
    windows = std::make_unique<ProgramWindows>();
}

void MainPanelTest::confirm(const fs::path &modsDirectory)
{
    child<QLineEdit>(directoryWindow, "lineEdit")
        ->setText(QString::fromStdString(modsDirectory.string()));
    QTest::mouseClick(child<QPushButton>(directoryWindow, "pushButton_Confirm"), Qt::LeftButton);
}

// Two aircraft (one disabled) and one tech mod.
fs::path MainPanelTest::makeMods(const char *name)
{
    const fs::path mods = *dir / name;
    writeMod(mods / "aircraft" / "Alpha", std::string(name) + "-alpha");
    writeMod(mods / "aircraft" / "Bravo", std::string(name) + "-bravo", false);
    writeMod(mods / "tech" / "Tanker", std::string(name) + "-tanker");
    return mods;
}

void MainPanelTest::startsInTheSavedLanguage()
{
    startProgram("CN");

    QCOMPARE(currentLanguage, UiLanguage::Chinese);
    QVERIFY(directoryWindow->isVisible());
    QVERIFY(!mainPanel->isVisible());
    QCOMPARE(child<QPushButton>(directoryWindow, "pushButton")->text(), QStringLiteral("选择目录"));
    QCOMPARE(child<QPushButton>(directoryWindow, "pushButton_Confirm")->text(),
             QStringLiteral("确认"));
    QCOMPARE(child<QMenu>(mainPanel, "menuFile")->title(), QStringLiteral("文件"));
    QCOMPARE(child<QMenu>(mainPanel, "menuFeatures")->title(), QStringLiteral("功能"));
    QCOMPARE(child<QMenu>(mainPanel, "menuLanguage")->title(), QStringLiteral("语言"));
    QCOMPARE(action("backToMainLink")->text(), QStringLiteral("重选目录"));
    QCOMPARE(child<QLabel>(mainPanel, "label_selfID")->text(), QStringLiteral("识别码"));
    QCOMPARE(directoryWindow->windowTitle(), QStringLiteral("VAZ Udi Verazev"));
    QCOMPARE(mainPanel->windowTitle(), QStringLiteral("VAZ Udi Verazev"));
}

void MainPanelTest::panelIsBuiltAsDescribed()
{
    startProgram("EN");

    QVERIFY(mainPanel->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(mainPanel->size(), QSize(800, 600));
    // English language texts replace the two set-up texts that differ.
    QCOMPARE(action("backToMainLink")->text(), QStringLiteral("Reselect Folder"));
    QCOMPARE(action("actionImport_Mod_AirCraft")->text(), QStringLiteral("Import Mod(AircCraft)"));

    const QList<QAction *> barEntries = mainPanel->menuBar()->actions();
    QCOMPARE(barEntries.size(), 5);
    QCOMPARE(barEntries.last()->text(), QStringLiteral("╳"));
    QCOMPARE(barEntries.at(2)->menu(), child<QMenu>(mainPanel, "menuSets"));
    QCOMPARE(barEntries.at(3)->menu(), child<QMenu>(mainPanel, "menuLanguage"));

    // The drag strip fills the transparent band over the headings.
    auto *band = child<QWidget>(mainPanel, "vezMoveWindow");
    auto *strip = child<QWidget>(mainPanel, "dragStrip");
    QCOMPARE(strip->parentWidget(), band);
    mainPanel->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainPanel));
    const QMargins margins = band->layout()->contentsMargins();
    QCOMPARE(strip->geometry(), band->rect().marginsRemoved(margins));
}

void MainPanelTest::confirmBackConfirmShowsOnlyTheSecondFolder()
{
    startProgram("EN");
    const fs::path first = makeMods("first");
    const fs::path second = *dir / "second";
    writeMod(second / "tech" / "Radar", "second-radar");

    confirm(first);
    QVERIFY(mainPanel->isVisible());
    QVERIFY(!directoryWindow->isVisible());
    const QStringList firstIds = rowSelfIds();
    QCOMPARE(firstIds.size(), 3);
    QCOMPARE(firstIds.last(), QStringLiteral("first-tanker")); // aircraft first
    QCOMPARE(sorted(firstIds.mid(0, 2)),
             QStringList({QStringLiteral("first-alpha"), QStringLiteral("first-bravo")}));

    action("backToMainLink")->trigger();
    QVERIFY(!mainPanel->isVisible());
    QVERIFY(directoryWindow->isVisible());
    QCOMPARE(child<QLineEdit>(directoryWindow, "lineEdit")->text(),
             QString::fromStdString(first.string()));

    confirm(second);
    QVERIFY(mainPanel->isVisible());
    QCOMPARE(rowSelfIds(), QStringList{QStringLiteral("second-radar")});
}

void MainPanelTest::backThenTheSameConfirmReloadsFromDisk()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    confirm(mods);
    QCOMPARE(rows().size(), 3);

    action("backToMainLink")->trigger();
    writeMod(mods / "tech" / "Tug", "mods-tug");
    confirm(mods);
    QVERIFY(rowSelfIds().contains(QStringLiteral("mods-tug")));
    QCOMPARE(rows().size(), 4);
}

// The moment between closing one window and showing the other never reaches
// the event loop, so the program does not end there.
void MainPanelTest::handOverKeepsTheEventLoopRunning()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    bool panelShown = false;
    bool directoryShownAgain = false;
    QTimer::singleShot(0, this, [&] { confirm(mods); });
    QTimer::singleShot(50, this, [&] {
        panelShown = mainPanel->isVisible();
        action("backToMainLink")->trigger();
    });
    QTimer::singleShot(100, this, [&] {
        directoryShownAgain = directoryWindow->isVisible();
        QCoreApplication::exit(7);
    });
    QCOMPARE(QCoreApplication::exec(), 7);
    QVERIFY(panelShown);
    QVERIFY(directoryShownAgain);
}

void MainPanelTest::closeEntryEndsTheEventLoop()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    QAction *closeEntry = mainPanel->menuBar()->actions().last();
    QTimer::singleShot(0, this, [&] { confirm(mods); });
    QTimer::singleShot(50, this, [&] { closeEntry->trigger(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);

    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!mainPanel->isVisible());
    QVERIFY(!directoryWindow->isVisible());
    QVERIFY(mainPanel); // hidden, never deleted
}

void MainPanelTest::closingTheDirectoryWindowAfterBackEndsTheEventLoop()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    QTimer::singleShot(0, this, [&] {
        confirm(mods);
        action("backToMainLink")->trigger();
    });
    QTimer::singleShot(50, this, [] { directoryWindow->close(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);

    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!mainPanel->isVisible());
}

void MainPanelTest::draggingTheHeadingBandMovesThePanel()
{
    startProgram("EN");
    confirm(makeMods("mods"));
    QVERIFY(QTest::qWaitForWindowExposed(mainPanel));
    auto *strip = child<QWidget>(mainPanel, "dragStrip");
    const QPoint before = mainPanel->pos();

    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(strip, QPoint(50, 35));
    QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(50, 35));

    QCOMPARE(mainPanel->pos() - before, QPoint(40, 25));
}

void MainPanelTest::languageSwitchReachesEveryText()
{
    startProgram("EN");
    confirm(makeMods("mods"));

    action("actionRussian")->trigger();

    QCOMPARE(currentLanguage, UiLanguage::Russian);
    QVERIFY(readFile(*dir / "data" / "root.lua").find("local Language = \"RU\"") !=
            std::string::npos);
    QCOMPARE(child<QMenu>(mainPanel, "menuFile")->title(), QStringLiteral("Файл"));
    QCOMPARE(action("actionReload")->text(), QStringLiteral("Перезагрузить"));
    QCOMPARE(child<QLabel>(mainPanel, "label_state")->text(), QStringLiteral("Состояние"));
    for (VezModItemWidget *row : rows()) {
        const bool enabled = rowText(row, "stateLabel") == QStringLiteral("включено");
        QVERIFY(enabled || rowText(row, "stateLabel") == QStringLiteral("отключено"));
        QCOMPARE(rowText(row, "installButton"),
                 enabled ? QStringLiteral("Удалить") : QStringLiteral("Установить"));
        QCOMPARE(rowText(row, "openButton"), QStringLiteral("открыть"));
    }
    // The hidden directory window follows; its title stays.
    QVERIFY(!directoryWindow->isVisible());
    QCOMPARE(child<QPushButton>(directoryWindow, "pushButton")->text(),
             QStringLiteral("Выбрать папку"));
    QCOMPARE(child<QPushButton>(directoryWindow, "pushButton_Confirm")->text(),
             QStringLiteral("Подтвердить"));
    QCOMPARE(directoryWindow->windowTitle(), QStringLiteral("VAZ Udi Verazev"));
    QCOMPARE(mainPanel->windowTitle(), QStringLiteral("VAZ Udi Verazev"));
}

void MainPanelTest::choosingTheActiveLanguageWritesNothing()
{
    startProgram("RU");
    confirm(makeMods("mods"));
    // Changed by hand meanwhile: a save would show as "RU" again.
    const std::string byHand = "local Language = \"EN\"\r\nlocal DIRECTORY = \"\"\r\n";
    writeFile(*dir / "data" / "root.lua", byHand);
    auto *folderButton = child<QPushButton>(directoryWindow, "pushButton");
    folderButton->setText(QStringLiteral("untouched"));

    action("actionRussian")->trigger();

    QCOMPARE(readFile(*dir / "data" / "root.lua"), byHand);
    QCOMPARE(folderButton->text(), QStringLiteral("untouched"));
}

void MainPanelTest::importAddsModsAircraftFirst()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    confirm(mods);
    const fs::path source = *dir / "download";
    writeMod(source / "pack" / "deep" / "Hauler", "new-hauler");
    writeMod(source / "Glider", "new-glider");
    QString caption;
    setFolderDialog([&](QWidget *, const QString &offered, const QString &, QFileDialog::Options) {
        caption = offered;
        return QString::fromStdString(source.string());
    });

    action("actionImport_Mod_Tech")->trigger();

    QCOMPARE(caption, QStringLiteral("Select Folder"));
    QVERIFY(fs::exists(mods / "tech" / "Hauler" / kEntryFileName));
    const QStringList ids = rowSelfIds();
    QCOMPARE(ids.size(), 5);
    QCOMPARE(sorted(ids.mid(0, 2)),
             QStringList({QStringLiteral("mods-alpha"), QStringLiteral("mods-bravo")}));
    QCOMPARE(sorted(ids.mid(2)),
             QStringList({QStringLiteral("mods-tanker"), QStringLiteral("new-glider"),
                          QStringLiteral("new-hauler")}));
    QCOMPARE(mainPanel->statusBar()->currentMessage(),
             QStringLiteral("Mods imported: 2, files copied: 2."));
}

void MainPanelTest::cancelledImportChangesNothing()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    confirm(mods);
    const QList<VezModItemWidget *> before = rows();
    writeMod(mods / "aircraft" / "Unseen", "mods-unseen"); // only a reload would list it
    setFolderDialog([](QWidget *, const QString &, const QString &, QFileDialog::Options) {
        return QString();
    });

    action("actionImport_Mod_AirCraft")->trigger();

    QCOMPARE(rows(), before);
    QVERIFY(!rowSelfIds().contains(QStringLiteral("mods-unseen")));
}

void MainPanelTest::failedImportShowsItsMessageAndTheModsCopiedBefore()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    confirm(mods);
    const fs::path source = *dir / "download";
    writeMod(source / "One", "new-one");
    writeMod(source / "Two", "new-two");
    writeFile(source / "One" / "payload.bin", "1");
    writeFile(source / "Two" / "payload.bin", "2");
    // The mod listed second meets a folder where its file should go.
    fs::directory_iterator it(source);
    const std::string firstListed = it->path().filename().string();
    const std::string secondListed = firstListed == "One" ? "Two" : "One";
    fs::create_directories(mods / "aircraft" / secondListed / "payload.bin");
    setFolderDialog([&](QWidget *, const QString &, const QString &, QFileDialog::Options) {
        return QString::fromStdString(source.string());
    });

    action("actionImport_Mod_AirCraft")->trigger();

    const QString message = mainPanel->statusBar()->currentMessage();
    QVERIFY2(!message.isEmpty(), "no failure message");
    QVERIFY2(message.contains(QString::fromStdString(secondListed)), qPrintable(message));
    QVERIFY(rowSelfIds().contains(firstListed == "One" ? QStringLiteral("new-one")
                                                       : QStringLiteral("new-two")));
}

// Picks an entry of the menu that a drop opens, as the user would, once it is open.
class DropMenuChooser : public QObject
{
public:
    explicit DropMenuChooser(const char *entry) : entry(QString::fromLatin1(entry))
    {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [this] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            timer.stop();
            menu->setActiveAction(menu->findChild<QAction *>(this->entry));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        timer.start();
    }

private:
    QString entry;
    QTimer timer;
};

bool sendDrag(QEvent::Type type, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    if (type == QEvent::Drop) {
        QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(mainPanel, &drop);
        return drop.isAccepted();
    }
    QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(mainPanel, &enter);
    return enter.isAccepted();
}

QUrl urlOf(const fs::path &path)
{
    return QUrl::fromLocalFile(QString::fromStdString(path.string()));
}

void MainPanelTest::droppedFoldersAndArchivesAreImportedIntoTheChosenCategory()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    confirm(mods);
    const fs::path source = *dir / "download";
    writeMod(source / "Glider", "new-glider");
    writeArchive(source / "Hauler.zip", ArchiveKind::Zip,
                 {{"Hauler/entry.lua", "self_ID = \"new-hauler\"\n"}});
    writeFile(source / "notes.txt", "not a mod");

    QVERIFY(!sendDrag(QEvent::DragEnter, {urlOf(source / "Glider"), urlOf(source / "notes.txt")}));
    QVERIFY(!sendDrag(QEvent::DragEnter, {QUrl(QStringLiteral("https://example.org/mod.zip"))}));
    const QList<QUrl> dropped{urlOf(source / "Glider"), urlOf(source / "Hauler.zip")};
    QVERIFY(sendDrag(QEvent::DragEnter, dropped));

    DropMenuChooser chooser("dropTech");
    QVERIFY(sendDrag(QEvent::Drop, dropped));
    QTRY_COMPARE(rowSelfIds().size(), 5);
    QVERIFY(fs::exists(mods / "tech" / "Glider" / kEntryFileName));
    QVERIFY(fs::exists(mods / "tech" / "Hauler" / kEntryFileName));
    QCOMPARE(sorted(rowSelfIds().mid(2)),
             QStringList({QStringLiteral("mods-tanker"), QStringLiteral("new-glider"),
                          QStringLiteral("new-hauler")}));
    QCOMPARE(mainPanel->statusBar()->currentMessage(),
             QStringLiteral("Mods imported: 2, files copied: 2."));
    QVERIFY(!fs::exists(mods / kStagingFolderName));
}

void MainPanelTest::cancelInTheProgressWindowKeepsWhatIsComplete()
{
    startProgram("RU");
    const fs::path mods = makeMods("mods");
    confirm(mods);
    std::vector<ArchiveEntry> entries{{"Big/entry.lua", "self_ID = \"big\"\n"}};
    for (int i = 0; i < 10; ++i)
        entries.emplace_back("Big/part" + std::to_string(i), std::string(200000, char('a' + i % 26)));
    const fs::path archive = *dir / "Big.zip";
    writeArchive(archive, ArchiveKind::Zip, entries);
    setArchiveDialog([&](QWidget *, const QString &, const QString &, const QString &filter) {
        return filter.contains(QStringLiteral("*.7z")) ? QString::fromStdString(archive.string())
                                                       : QString();
    });
    ImportSession::setWindowDelay(0);
    // Runs whenever events are handled, which the import does once its window is open.
    QTimer canceller;
    canceller.setInterval(0);
    connect(&canceller, &QTimer::timeout, this, [&] {
        if (auto *cancel = mainPanel->findChild<QPushButton *>(QStringLiteral("pushButton_Cancel"))) {
            canceller.stop();
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
    });
    canceller.start();

    action("actionImport_Archive_Tech")->trigger();
    ImportSession::setWindowDelay(1000);
    setArchiveDialog({});

    QVERIFY(!canceller.isActive());
    QVERIFY(!fs::exists(mods / kStagingFolderName));
    QVERIFY(mainPanel->statusBar()->currentMessage().startsWith(QStringLiteral("Импорт отменён.")));
    // Whatever was copied is whole.
    if (fs::exists(mods / "tech" / "Big"))
        for (const fs::directory_entry &file : fs::directory_iterator(mods / "tech" / "Big"))
            if (file.path().filename() != kEntryFileName)
                QCOMPARE(fs::file_size(file.path()), std::uintmax_t{200000});
}

void MainPanelTest::closingThePanelDuringAnImportCancelsIt()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    confirm(mods);
    std::vector<ArchiveEntry> entries{{"Big/entry.lua", "self_ID = \"big\"\n"}};
    for (int i = 0; i < 10; ++i)
        entries.emplace_back("Big/part" + std::to_string(i), std::string(200000, 'x'));
    const fs::path archive = *dir / "Big.zip";
    writeArchive(archive, ArchiveKind::Zip, entries);
    setArchiveDialog([&](QWidget *, const QString &, const QString &, const QString &) {
        return QString::fromStdString(archive.string());
    });
    ImportSession::setWindowDelay(0);
    QTimer closer;
    closer.setInterval(0);
    connect(&closer, &QTimer::timeout, this, [&] {
        if (mainPanel->findChild<QPushButton *>(QStringLiteral("pushButton_Cancel"))) {
            closer.stop();
            mainPanel->close();
        }
    });
    closer.start();

    action("actionImport_Archive_AirCraft")->trigger();
    ImportSession::setWindowDelay(1000);
    setArchiveDialog({});

    QVERIFY(!closer.isActive());
    QVERIFY(!mainPanel->isVisible());
    QVERIFY(!fs::exists(mods / kStagingFolderName));
    QVERIFY(mainPanel->statusBar()->currentMessage().startsWith(QStringLiteral("Import cancelled.")));
}

void MainPanelTest::reloadFailureKeepsTheRows()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    confirm(mods);
    const QList<VezModItemWidget *> before = rows();
    // A file where the category folder should be cannot be listed.
    fs::remove_all(mods / "tech");
    writeFile(mods / "tech", "not a folder");

    action("actionReload")->trigger();

    QVERIFY(!mainPanel->statusBar()->currentMessage().isEmpty());
    QCOMPARE(rows(), before);
    QCOMPARE(rowText(before.last(), "selfIdLabel"), QStringLiteral("mods-tanker"));

    fs::remove(mods / "tech");
    action("actionReload")->trigger();
    QVERIFY(mainPanel->statusBar()->currentMessage().isEmpty());
    QCOMPARE(rows().size(), 2);
}

void MainPanelTest::disableAllThenEnableAllKeepTheRowWidgets()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    confirm(mods);
    const QList<VezModItemWidget *> before = rows();

    action("actionDisable_All")->trigger();
    QCOMPARE(rows(), before);
    for (VezModItemWidget *row : before) {
        QCOMPARE(rowText(row, "stateLabel"), QStringLiteral("disabled"));
        QCOMPARE(rowText(row, "installButton"), QStringLiteral("Install"));
        QVERIFY(
            child<QLabel>(row, "stateLabel")->styleSheet().contains(QStringLiteral("128,128,128")));
    }
    QVERIFY(fs::exists(mods / "tech" / "Tanker" / kStorageFolderName / kEntryFileName));

    action("actionEnable_All")->trigger();
    QCOMPARE(rows(), before);
    for (VezModItemWidget *row : before) {
        QCOMPARE(rowText(row, "stateLabel"), QStringLiteral("enabled"));
        QCOMPARE(rowText(row, "installButton"), QStringLiteral("Uninstall"));
        QVERIFY(
            child<QLabel>(row, "stateLabel")->styleSheet().contains(QStringLiteral("245,158,15")));
    }
    QVERIFY(fs::exists(mods / "aircraft" / "Bravo" / kEntryFileName));
}

void MainPanelTest::failedDisableAllShowsItsMessageAndTheMovesMadeBefore()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    confirm(mods);
    // The last mod's folder became a file: its storage folder cannot be made.
    fs::remove_all(mods / "tech" / "Tanker");
    writeFile(mods / "tech" / "Tanker", "not a folder");

    action("actionDisable_All")->trigger();

    const QString message = mainPanel->statusBar()->currentMessage();
    QVERIFY2(message.contains(QStringLiteral("Tanker")), qPrintable(message));
    const QList<VezModItemWidget *> shown = rows();
    QCOMPARE(rowText(shown.at(0), "stateLabel"), QStringLiteral("disabled"));
    QCOMPARE(rowText(shown.at(1), "stateLabel"), QStringLiteral("disabled"));
    QCOMPARE(rowText(shown.at(2), "stateLabel"), QStringLiteral("enabled"));
    QVERIFY(fs::exists(mods / "aircraft" / "Alpha" / kStorageFolderName / kEntryFileName));
}

void MainPanelTest::refusedMovesNameTheModAndTheSystemsReason()
{
    startProgram("EN");
    const fs::path mods = makeMods("mods");
    // Alpha is enabled and also holds a stored entry file, which a disable must not replace.
    writeMod(mods / "aircraft" / "Alpha", "stored-alpha", false);
    confirm(mods);
#ifdef _WIN32
    constexpr int alreadyExists = 183; // ERROR_ALREADY_EXISTS
#else
    constexpr int alreadyExists = EEXIST;
#endif
    // The system's own words, in its code page.
    const QString fileExists =
        QString::fromLocal8Bit(std::system_category().message(alreadyExists));
    const auto row = [](const char *selfId) {
        for (VezModItemWidget *shown : rows())
            if (rowText(shown, "selfIdLabel") == QLatin1String(selfId))
                return shown;
        qFatal("no row for %s", selfId);
    };

    QTest::mouseClick(child<QPushButton>(row("mods-alpha"), "installButton"), Qt::LeftButton);
    QString message = mainPanel->statusBar()->currentMessage();
    QVERIFY2(message.contains(QStringLiteral("mods-alpha")) && message.contains(fileExists),
             qPrintable(message));
    QCOMPARE(rowText(row("mods-alpha"), "stateLabel"), QStringLiteral("enabled"));

    // Bravo is disabled; an entry file put in its place since the load blocks the enable.
    writeMod(mods / "aircraft" / "Bravo", "late-bravo");
    action("actionEnable_All")->trigger();
    message = mainPanel->statusBar()->currentMessage();
    QVERIFY2(message.contains(QStringLiteral("mods-bravo")) && message.contains(fileExists),
             qPrintable(message));
    QCOMPARE(rowText(row("mods-bravo"), "stateLabel"), QStringLiteral("disabled"));
}

void MainPanelTest::webActionsOpenThePagesOfTheLanguage_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("libraryPath");
    QTest::newRow("English") << "EN"
                             << "/en/files/filter/type-is-mod/apply/";
    QTest::newRow("Chinese") << "CN"
                             << "/cn/files/filter/type-is-mod/apply/";
    QTest::newRow("Russian") << "RU"
                             << "/ru/files/filter/type-is-mod/apply/";
}

void MainPanelTest::webActionsOpenThePagesOfTheLanguage()
{
    QFETCH(QString, code);
    QFETCH(QString, libraryPath);
    startProgram(code.toLatin1().constData());

    action("actionMore_Mod")->trigger();
    action("actionAbout_Author_2")->trigger();

    QCOMPARE(openedUrls.size(), 2);
    QCOMPARE(openedUrls.at(0), QUrl(QString::fromLatin1(kModLibraryHost) + libraryPath));
    QCOMPARE(openedUrls.at(0).scheme(), QStringLiteral("https"));
    QCOMPARE(openedUrls.at(1), QUrl(QString::fromLatin1(kAuthorPageAddress)));
}

void MainPanelTest::screenshotsInThreeLanguages_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("fileMenu");
    QTest::newRow("English") << "EN"
                             << "File";
    QTest::newRow("Chinese") << "CN"
                             << "文件";
    QTest::newRow("Russian") << "RU"
                             << "Файл";
}

void MainPanelTest::screenshotsInThreeLanguages()
{
    QFETCH(QString, code);
    QFETCH(QString, fileMenu);
    startProgram(code.toLatin1().constData());
    const fs::path mods = *dir / "mods";
    fs::copy(kSourceMods, mods, fs::copy_options::recursive);
    confirm(mods);
    QVERIFY(QTest::qWaitForWindowExposed(mainPanel));
    QCOMPARE(child<QMenu>(mainPanel, "menuFile")->title(), fileMenu);

    const QImage shot = mainPanel->grab().toImage();
    QCOMPARE(shot.size(), QSize(800, 600));
    const QByteArray folder = qgetenv("TESSEL3_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QVERIFY(QDir().mkpath(QString::fromLocal8Bit(folder)));
        QVERIFY(shot.save(QString::fromLocal8Bit(folder) + QStringLiteral("/main-panel-") +
                          code.toLower() + QStringLiteral(".png")));
    }

    // Below the five rows the list is transparent: the background image shows.
    const QImage background(QString::fromStdString((kSourceData / "background.png").string()));
    for (const QPoint at : {QPoint(700, 500), QPoint(100, 560), QPoint(400, 420)}) {
        const QColor expected = background.pixelColor(at);
        QCOMPARE(pixelsNear(shot, QRect(at, QSize(1, 1)), expected, 3), 1);
    }
    // Orange menu titles in the bar; white headings in the band below it.
    QVERIFY(pixelsNear(shot, mainPanel->menuBar()->geometry(), QColor(245, 158, 15), 30) > 40);
    const QRect headings = child<QWidget>(mainPanel, "label_selfID")
                               ->geometry()
                               .united(child<QWidget>(mainPanel, "label_state")->geometry())
                               .translated(mainPanel->centralWidget()->pos());
    QVERIFY(pixelsNear(shot, headings, Qt::white, 40) > 40);
}

void MainPanelTest::missingBackgroundShowsTheFlatColour()
{
    startProgram("EN", false);
    confirm(makeMods("mods"));
    QVERIFY(QTest::qWaitForWindowExposed(mainPanel));

    const QImage shot = mainPanel->grab().toImage();
    QCOMPARE(shot.pixelColor(700, 500), QColor(39, 39, 39));
}

void MainPanelTest::hiddenPanelIsStyledOnlyWhenFirstShown()
{
    startProgram("EN");
    QVERIFY(QTest::qWaitForWindowExposed(directoryWindow));
    QCoreApplication::processEvents();

    // Start-up leaves the hidden panel's style work, background image included, for later.
    QCOMPARE(mainPanel->styleSheet(),
             QStringLiteral("#MainPanel{background-image:url(\"data/background.png\");"
                            "background-color:rgb(39,39,39);border-radius: 15px}\n"));
    QVERIFY(!mainPanel->testAttribute(Qt::WA_WState_Polished));
    QVERIFY(!modList()->testAttribute(Qt::WA_WState_Polished));

    confirm(makeMods("mods"));
    QVERIFY(QTest::qWaitForWindowExposed(mainPanel));
    QVERIFY(mainPanel->testAttribute(Qt::WA_WState_Polished));
    QVERIFY(modList()->testAttribute(Qt::WA_WState_Polished));
    QCOMPARE(mainPanel->iconSize(),
             mainPanel->style()->pixelMetric(QStyle::PM_ToolBarIconSize) * QSize(1, 1));
}

QTEST_MAIN(MainPanelTest)
#include "MainPanelTest.moc"
