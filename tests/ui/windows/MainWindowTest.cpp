#include "ui/windows/MainWindow.h"

#include "ui/texts/CurrentLanguage.h"
#include "library/catalogue/ModCatalogue.h"
#include "settings/NarrowPathText.h"
#include "tests/support/TempDir.h"
#include "tests/support/TmpfsMount.h"
#include "tests/ui/UiTestMods.h"
#include "ui/import/ChooseFolder.h"
#include "ui/windows/MainPanel.h"
#include "ui/texts/QtPathText.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTranslator>

#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const QColor kDark(39, 39, 39);
const QColor kOrange(245, 158, 15);

// Answers every translation with a marked copy, so a test sees which texts went through it.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        return QString::fromUtf8(context) + QStringLiteral("|") + QString::fromUtf8(sourceText);
    }
    bool isEmpty() const override
    {
        return false;
    }
};

std::string settingsWithDirectory(const fs::path &directory)
{
    return "-- settings\r\nlocal Language = \"EN\"\r\nlocal DIRECTORY = \"" +
           narrowTextFromPath(directory).value() + "\"\r\n";
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void formHasItsLayout();
    void setUpTextsGoThroughTheTranslator();
    void languageTexts_data();
    void languageTexts();
    void prefilledFromTheSettingsFile();
    void pressingOpensTheDialogBeforeRelease();
    void chosenFolderIsSavedAndShown();
    void withoutDirectoryAssignmentChoosingEmptiesTheLineEdit();
    void cancelledDialogChangesNothing();
    void failedSaveShowsItsReason();
    void confirmLoadsAndHandsOver();
    void enterInTheLineEditConfirmsAndTabGoesOnToTheButtons();
    void failedLoadKeepsCatalogueAndWindow();
    void screenshots_data();
    void screenshots();

private:
    std::optional<TempDir> m_folder;
    std::optional<WorkingDirectoryScope> m_workingDirectory;
    int m_dialogCalls = 0;
    QString m_dialogCaption;
    QFileDialog::Options m_dialogOptions;

    void answerDialogWith(const QString &answer);
};

void MainWindowTest::init()
{
    currentLanguage = UiLanguage::English;
    sharedCatalogue.reset();
    m_folder.emplace();
    m_workingDirectory.emplace(m_folder->path());
    m_dialogCalls = 0;
    directoryWindow = nullptr;
    mainPanel = nullptr;
}

void MainWindowTest::cleanup()
{
    setFolderDialog({});
    directoryWindow = nullptr;
    mainPanel = nullptr;
    sharedCatalogue.reset();
    m_workingDirectory.reset();
    m_folder.reset();
    currentLanguage = UiLanguage::English;
}

void MainWindowTest::answerDialogWith(const QString &answer)
{
    setFolderDialog([this, answer](QWidget *, const QString &caption, const QString &,
                                   QFileDialog::Options options) {
        ++m_dialogCalls;
        m_dialogCaption = caption;
        m_dialogOptions = options;
        return answer;
    });
}

void MainWindowTest::formHasItsLayout()
{
    MainWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window.size(), QSize(653, 150));
    QCOMPARE(window.windowFlags() & Qt::FramelessWindowHint, Qt::WindowFlags());
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
             Qt::WindowFlags());

    const struct
    {
        const char *name;
        QRect geometry;
    } widgets[] = {{"lineEdit", {100, 50, 451, 41}},
                   {"pushButton", {10, 50, 81, 41}},
                   {"pushButton_Confirm", {570, 50, 75, 41}},
                   {"label", {40, 20, 591, 16}}};
    for (const auto &expected : widgets) {
        auto *widget = window.findChild<QWidget *>(QString::fromUtf8(expected.name));
        QVERIFY2(widget, expected.name);
        QCOMPARE(widget->geometry(), expected.geometry);
        QCOMPARE(widget->parentWidget()->objectName(), QStringLiteral("centralwidget"));
    }
    const auto *button = window.findChild<QPushButton *>(QStringLiteral("pushButton_Confirm"));
    QCOMPARE(button->font().weight(), QFont::Bold);
    QCOMPARE(button->styleSheet(),
             QStringLiteral("QPushButton{background-color:rgb(245, 158, 15);}"
                            "QPushButton:hover{background-color:rgb(245, 158, 15);}"));
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("label"))->font().underline());
    QCOMPARE(window.findChild<QMenuBar *>(QStringLiteral("menubar"))->actions().size(), 0);
    QVERIFY(window.findChild<QStatusBar *>(QStringLiteral("statusBar")));
}

void MainWindowTest::setUpTextsGoThroughTheTranslator()
{
    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    // Outside the three languages the apply step leaves the set-up texts on screen.
    currentLanguage = static_cast<UiLanguage>(7);
    MainWindow window;
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(window.windowTitle(), QStringLiteral("MainWindow|VAZ Udi Verazev"));
    auto *lineEdit = window.findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    QCOMPARE(lineEdit->toolTip(),
             QStringLiteral("MainWindow|<html><head/><body><p><br/></p></body></html>"));
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("pushButton"))->text(),
             QStringLiteral("MainWindow|SelectFolder"));
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("pushButton_Confirm"))->text(),
             QStringLiteral("MainWindow|Confirm"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("label"))->text(),
             QStringLiteral("MainWindow|Select the directory where the game stores mods. This "
                            "directory should contain 'aircraft' and 'tech'."));
}

void MainWindowTest::languageTexts_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("selectFolder");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QString>("label");
    QTest::newRow("English") << 0 << QStringLiteral("SelectFolder") << QStringLiteral("Confirm")
                             << QStringLiteral("Select the directory where the game stores mods. "
                                               "This directory should contain 'aircraft' and "
                                               "'tech'.");
    QTest::newRow("Chinese") << 1 << QStringLiteral("选择目录") << QStringLiteral("确认")
                             << QStringLiteral("选择游戏存储模组的目录。此目录应包含 'aircraft' 和 "
                                               "'tech' 文件夹。");
    QTest::newRow("Russian") << 2 << QStringLiteral("Выбрать папку")
                             << QStringLiteral("Подтвердить")
                             << QStringLiteral("Выберите папку, где игра хранит моды. Эта папка "
                                               "должна содержать 'aircraft' и 'tech'.");
}

void MainWindowTest::languageTexts()
{
    QFETCH(int, language);
    QFETCH(QString, selectFolder);
    QFETCH(QString, confirm);
    QFETCH(QString, label);

    // Opened in the saved language, and switched to it later while hidden.
    for (const bool atConstruction : {true, false}) {
        currentLanguage = atConstruction ? static_cast<UiLanguage>(language) : UiLanguage::English;
        MainWindow window;
        if (!atConstruction) {
            currentLanguage = static_cast<UiLanguage>(language);
            window.applyLanguage();
        }
        QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("pushButton"))->text(),
                 selectFolder);
        QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("pushButton_Confirm"))->text(),
                 confirm);
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("label"))->text(), label);
        QCOMPARE(window.windowTitle(), QStringLiteral("VAZ Udi Verazev"));
    }
}

void MainWindowTest::prefilledFromTheSettingsFile()
{
    const fs::path mods = m_folder->path() / u8"Моды 模组";
    fs::create_directories(mods);
    writeFile(m_folder->path() / "data" / "root.lua", settingsWithDirectory(mods));
    MainWindow window;
    QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->text(),
             qStringFromPath(mods));
}

void MainWindowTest::pressingOpensTheDialogBeforeRelease()
{
    answerDialogWith(QString());
    MainWindow window;
    auto *button = window.findChild<QPushButton *>(QStringLiteral("pushButton"));
    QTest::mousePress(button, Qt::LeftButton);
    QCOMPARE(m_dialogCalls, 1);
    QCOMPARE(m_dialogCaption, QStringLiteral("Select Folder"));
    QCOMPARE(m_dialogOptions, QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    QTest::mouseRelease(button, Qt::LeftButton);
    QCOMPARE(m_dialogCalls, 1);
}

void MainWindowTest::chosenFolderIsSavedAndShown()
{
    const fs::path chosen = m_folder->path() / u8"игра mods";
    fs::create_directories(chosen);
    const fs::path settings = m_folder->path() / "data" / "root.lua";
    writeFile(settings, settingsWithDirectory(""));
    answerDialogWith(qStringFromPath(chosen));
    MainWindow window;
    auto *lineEdit = window.findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    lineEdit->setText(QStringLiteral("typed by hand"));

    QTest::mousePress(window.findChild<QPushButton *>(QStringLiteral("pushButton")),
                      Qt::LeftButton);

    QCOMPARE(readFile(settings), settingsWithDirectory(chosen));
    QCOMPARE(lineEdit->text(), qStringFromPath(chosen));
}

void MainWindowTest::failedSaveShowsItsReason()
{
    const fs::path settings = m_folder->path() / "data" / "root.lua";
    const std::string original = settingsWithDirectory("");
    writeFile(settings, original);
#ifdef _WIN32
    // Thai letters are in no code page the tests run with (936, 1251, 1252).
    const fs::path unsavable = m_folder->path() / u8"ไทย";
    const auto reason = std::errc::illegal_byte_sequence;
#else
    // A quote would end the stored value early.
    const fs::path unsavable = m_folder->path() / "a\"b";
    const auto reason = std::errc::invalid_argument;
#endif
    fs::create_directories(unsavable);
    answerDialogWith(qStringFromPath(unsavable));
    MainWindow window;
    auto *button = window.findChild<QPushButton *>(QStringLiteral("pushButton"));
    QTest::mousePress(button, Qt::LeftButton);
    QString message = window.statusBar()->currentMessage();
    QVERIFY2(message.contains(QStringLiteral("root.lua")), qPrintable(message));
    QVERIFY2(message.contains(QString::fromLocal8Bit(std::make_error_code(reason).message())),
             qPrintable(message));
    QCOMPARE(readFile(settings), original);

    TmpfsMount disk(m_folder->path() / "data", 64 * 1024);
    if (!disk.mounted())
        QSKIP("cannot mount a small tmpfs here (needs root and mount rights)");
    writeFile(settings, original);
    disk.fill();
    answerDialogWith(qStringFromPath(m_folder->path()));
    QTest::mouseRelease(button, Qt::LeftButton);
    QTest::mousePress(button, Qt::LeftButton);
    message = window.statusBar()->currentMessage();
    QVERIFY2(message.contains(QString::fromStdString(
                 std::make_error_code(std::errc::no_space_on_device).message())),
             qPrintable(message));
    QCOMPARE(readFile(settings), original);
}

void MainWindowTest::withoutDirectoryAssignmentChoosingEmptiesTheLineEdit()
{
    const fs::path settings = m_folder->path() / "data" / "root.lua";
    writeFile(settings, "local Language = \"EN\"\r\n");
    answerDialogWith(qStringFromPath(m_folder->path()));
    MainWindow window;
    auto *lineEdit = window.findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    lineEdit->setText(QStringLiteral("typed by hand"));

    QTest::mousePress(window.findChild<QPushButton *>(QStringLiteral("pushButton")),
                      Qt::LeftButton);

    QCOMPARE(lineEdit->text(), QString());
    QCOMPARE(readFile(settings), std::string("local Language = \"EN\"\r\n"));
}

void MainWindowTest::cancelledDialogChangesNothing()
{
    const fs::path settings = m_folder->path() / "data" / "root.lua";
    writeFile(settings, settingsWithDirectory("/somewhere"));
    answerDialogWith(QString());
    MainWindow window;
    auto *lineEdit = window.findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    lineEdit->setText(QStringLiteral("typed by hand"));

    QTest::mousePress(window.findChild<QPushButton *>(QStringLiteral("pushButton")),
                      Qt::LeftButton);

    QCOMPARE(m_dialogCalls, 1);
    QCOMPARE(lineEdit->text(), QStringLiteral("typed by hand"));
    QCOMPARE(readFile(settings), settingsWithDirectory("/somewhere"));
}

void MainWindowTest::confirmLoadsAndHandsOver()
{
    const fs::path mods = m_folder->path() / u8"mods ü";
    writeTestMod(mods, {"aircraft", "A", "alpha", "Alpha", "", "Dev", "1.0", true});
    writeTestMod(mods, {"tech", "T", "tango", "", "T-1", "", "", false});
    MainWindow window;
    MainPanel panel;
    directoryWindow = &window;
    mainPanel = &panel;
    window.show();
    window.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(qStringFromPath(mods));

    QTest::mousePress(window.findChild<QPushButton *>(QStringLiteral("pushButton_Confirm")),
                      Qt::LeftButton);

    QVERIFY(sharedCatalogue);
    QCOMPARE(sharedCatalogue->records().size(), size_t(2));
    QCOMPARE(sharedCatalogue->records()[0].get().self_ID, std::string("alpha"));
    QVERIFY(!window.isVisible());
    QVERIFY(panel.isVisible());
    // Confirm does not save the folder.
    QVERIFY(!fs::exists(m_folder->path() / "data" / "root.lua"));
}

void MainWindowTest::enterInTheLineEditConfirmsAndTabGoesOnToTheButtons()
{
    const fs::path mods = m_folder->path() / "mods";
    writeTestMod(mods, {"aircraft", "A", "alpha", "Alpha", "", "Dev", "1.0", true});
    MainWindow window;
    MainPanel panel;
    directoryWindow = &window;
    mainPanel = &panel;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *lineEdit = window.findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    auto *folderButton = window.findChild<QPushButton *>(QStringLiteral("pushButton"));
    auto *confirmButton = window.findChild<QPushButton *>(QStringLiteral("pushButton_Confirm"));
    QCOMPARE(lineEdit->nextInFocusChain(), folderButton);
    QCOMPARE(folderButton->nextInFocusChain(), confirmButton);
    int pressedCount = 0;
    connect(confirmButton, &QPushButton::pressed, this, [&] { ++pressedCount; });

    lineEdit->setFocus();
    lineEdit->setText(qStringFromPath(mods));
    QTest::keyClick(lineEdit, Qt::Key_Return);

    QCOMPARE(pressedCount, 1);
    QVERIFY(sharedCatalogue);
    QCOMPARE(sharedCatalogue->records().size(), size_t(1));
    QVERIFY(panel.isVisible());
}

void MainWindowTest::failedLoadKeepsCatalogueAndWindow()
{
    const fs::path good = m_folder->path() / "good";
    writeTestMod(good, {"aircraft", "A", "alpha", "Alpha", "", "", "", true});
    loadCatalogue(good.string());
    const ModCatalogue *before = sharedCatalogue.get();

#ifdef _WIN32
    QSKIP("std::filesystem cannot create symbolic links here");
#endif
    // A category folder that is a link to itself cannot even be tested for existence.
    const fs::path bad = m_folder->path() / "bad";
    fs::create_directories(bad);
    fs::create_directory_symlink("aircraft", bad / "aircraft");

    currentLanguage = UiLanguage::Russian;
    MainWindow window;
    MainPanel panel;
    directoryWindow = &window;
    mainPanel = &panel;
    window.show();
    window.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(qStringFromPath(bad));

    QTest::mousePress(window.findChild<QPushButton *>(QStringLiteral("pushButton_Confirm")),
                      Qt::LeftButton);

    QCOMPARE(sharedCatalogue.get(), before);
    QVERIFY(window.isVisible());
    QVERIFY(!panel.isVisible());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    const QString message =
        window.findChild<QStatusBar *>(QStringLiteral("statusBar"))->currentMessage();
    QVERIFY2(message.startsWith(QStringLiteral("Не удалось загрузить папку модов: ")),
             qPrintable(message));
    QVERIFY2(message.contains(qStringFromPath(bad / "aircraft")), qPrintable(message));
    QVERIFY2(message.contains(QString::fromLocal8Bit(
                 std::make_error_code(std::errc::too_many_symbolic_link_levels).message())),
             qPrintable(message));
}

void MainWindowTest::screenshots_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("en") << 0;
    QTest::newRow("cn") << 1;
    QTest::newRow("ru") << 2;
}

void MainWindowTest::screenshots()
{
    QFETCH(int, language);
    const fs::path mods = m_folder->path() / "mods";
    fs::create_directories(mods);
    writeFile(m_folder->path() / "data" / "root.lua", settingsWithDirectory(mods));
    currentLanguage = static_cast<UiLanguage>(language);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QImage shot = window.grab().toImage();
    saveScreenshot(shot, QStringLiteral("directory-window-") +
                             QString::fromUtf8(QTest::currentDataTag()));

    // Map widget rectangles into the grabbed image of the whole window.
    const auto rectOf = [&](const char *name) {
        auto *widget = window.findChild<QWidget *>(QString::fromUtf8(name));
        return QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
    };
    QCOMPARE(shot.pixelColor(3, shot.height() / 2), kDark);
    const QRect select = rectOf("pushButton");
    QVERIFY(shareOfHue(shot, select, kOrange, 4) > 0.6);
    QVERIFY(shareOfHue(shot, rectOf("pushButton_Confirm"), kOrange, 4) > 0.6);
    // White label text on the dark ground.
    QVERIFY(hasPixelNear(shot, rectOf("label"), QColor(255, 255, 255), 30));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
