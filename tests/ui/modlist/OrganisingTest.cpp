// Organising a large library in the real main panel: sorting by heading, the
// row menu, notes, copying the list and moving a mod to the recycle bin.

#include "ui/windows/MainPanel.h"

#include "app/AppState.h"
#include "app/ProgramWindows.h"
#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/catalogue/ModRecord.h"
#include "tests/support/TempDir.h"
#include "tests/support/TmpfsMount.h"
#include "tests/ui/UiTestMods.h"
#include "ui/modlist/ModRecycler.h"
#include "ui/modlist/ModSort.h"
#include "ui/modlist/VezModItemWidget.h"
#include "ui/modlist/VezModList.h"
#include "ui/notes/NoteDialog.h"
#include "ui/status/Confirmation.h"
#include "ui/texts/QtPathText.h"
#include "ui/windows/DraggableWidget.h"
#include "ui/windows/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCollator>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolTip>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

VezModList *modList()
{
    return child<VezModList>(mainPanel, "listWidget");
}

QString statusText()
{
    return child<QStatusBar>(mainPanel, "statusbar")->currentMessage();
}

// The self IDs of the rows shown, top to bottom.
QStringList shownIds()
{
    QStringList ids;
    for (const ModRecord &record : modList()->shownRecords())
        ids.append(QString::fromStdString(record.self_ID));
    return ids;
}

int rowOf(const QString &selfId)
{
    for (int index = 0; index < modList()->count(); ++index)
        if (QString::fromStdString(modList()->recordAt(index)->self_ID) == selfId)
            return index;
    qFatal("no row for %s", qPrintable(selfId));
}

// Clicks the heading through the drag strip that lies over it, as the mouse would.
void clickHeading(const char *heading)
{
    auto *label = child<QLabel>(mainPanel, heading);
    auto *strip = child<DraggableWidget>(mainPanel, "dragStrip");
    QTest::mouseClick(strip, Qt::LeftButton, {},
                      strip->mapFrom(label->parentWidget(), label->geometry().center()));
}

// Right-clicks the row and returns the menu that opened.
QMenu *openRowMenu(int row)
{
    VezModList *list = modList();
    list->scrollToItem(list->item(row));
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &event);
    return mainPanel->findChild<QMenu *>(QStringLiteral("rowMenu"));
}

void chooseFromMenu(QMenu *menu, const char *entry)
{
    QVERIFY(menu);
    child<QAction>(menu, entry)->trigger();
    menu->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::vector<ModRecord> recordsNamed(const QStringList &names)
{
    std::vector<ModRecord> records;
    for (const QString &name : names) {
        ModRecord record;
        record.self_ID = name.toStdString();
        record.displayName = name.toStdString();
        records.push_back(record);
    }
    return records;
}

QStringList namesIn(const std::vector<std::reference_wrapper<ModRecord>> &records)
{
    QStringList names;
    for (const ModRecord &record : records)
        names.append(QString::fromStdString(record.displayName));
    return names;
}

} // namespace

class OrganisingTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sortOrders_data();
    void sortOrders();
    void versionsAndStatesSortAndTiesKeepTheCatalogueOrder();
    void headingClicksSortAndTheChoiceLasts();
    void notesAreMarkedFoundAndKeptPerFolder();
    void damagedNotesFileIsRefusedAndTheProgramWorks();
    void copiedListHoldsTheShownRows();
    void modGoesToTheTrashAfterConfirmation();
    void refusedTrashLeavesTheModInPlace();
    void screenshotsOfASortedListWithMenuAndNote_data();
    void screenshotsOfASortedListWithMenuAndNote();

private:
    void startProgram(const char *languageCode);
    void confirm();

    std::unique_ptr<TempDir> dir;
    std::unique_ptr<WorkingDirectoryScope> workingDirectory;
    std::unique_ptr<ProgramWindows> windows;
    fs::path mods;
};

void OrganisingTest::init()
{
    dir = std::make_unique<TempDir>();
    workingDirectory = std::make_unique<WorkingDirectoryScope>(dir->path());
    mods = dir->path() / "mods";
    writeTestMod(mods, {"aircraft", "Yak52", "yak-52", "Як-52", "", "ОКБ Яковлева", "2.1", true});
    writeTestMod(mods, {"aircraft", "Hip", "mi8-hip", "Mi-8 10", "", "Rotor Works", "1.10", false});
    writeTestMod(mods, {"aircraft", "Hip2", "mi8-hip2", "Mi-8 2", "", "Rotor Works", "1.9", true});
    // Two folders that declare the same self ID.
    writeTestMod(mods, {"tech", "Tanker", "tanker", "", "TANKER", "Ground Crew", "3.14", true});
    writeTestMod(mods, {"tech", "Tanker-copy", "tanker", "", "TANKER", "Ground Crew", "3.14", false});
}

void OrganisingTest::cleanup()
{
    setNoteDialog({});
    setConfirmDialog({});
    windows.reset();
    sharedCatalogue.reset();
    currentLanguage = UiLanguage::English;
    workingDirectory.reset();
    dir.reset();
}

void OrganisingTest::startProgram(const char *languageCode)
{
    writeFile(*dir / "data" / "root.lua", std::string("local Language = \"") + languageCode +
                                              "\"\r\nlocal DIRECTORY = \"\"\r\n");
    if (!fs::exists(*dir / "data" / "background.png"))
        fs::copy_file(fs::path(TESSEL3_SOURCE_DIR) / "data" / "background.png",
                      *dir / "data" / "background.png");
    currentLanguage = UiLanguage::English;
    loadLanguageSetting();
    windows = std::make_unique<ProgramWindows>();
}

void OrganisingTest::confirm()
{
    child<QLineEdit>(directoryWindow, "lineEdit")->setText(qStringFromPath(mods));
    QTest::mouseClick(child<QPushButton>(directoryWindow, "pushButton_Confirm"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(mainPanel));
    modList()->setFocus();
}

void OrganisingTest::sortOrders_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QStringList>("expected");
    // Pinyin: bei, shang, zhong; by code point it would be 上, 中, 北.
    QTest::newRow("Chinese") << UiLanguage::Chinese << QStringList{"中国", "上海", "北京"}
                             << QStringList{"北京", "上海", "中国"};
    // Ё counts as Е, and letter case is ignored; by code point Б, а, е, я, ё.
    QTest::newRow("Russian") << UiLanguage::Russian
                             << QStringList{"яблоко", "ель", "ёж", "Банан", "арбуз"}
                             << QStringList{"арбуз", "Банан", "ёж", "ель", "яблоко"};
    QTest::newRow("numbers in names")
        << UiLanguage::English << QStringList{"Mi-8 10", "mi-8 2", "Mi-8 1"}
        << QStringList{"Mi-8 1", "mi-8 2", "Mi-8 10"};
}

void OrganisingTest::sortOrders()
{
    QFETCH(UiLanguage, language);
    QFETCH(QStringList, given);
    QFETCH(QStringList, expected);
    if (language == UiLanguage::Chinese && collatorFor(language).compare(u"北", u"上") > 0)
        QSKIP("this system's collation has no pinyin order for Chinese (Wine's has none)");
    if (language == UiLanguage::Russian && collatorFor(language).compare(u"ёж", u"яблоко") > 0)
        QSKIP("this system's collation has no Russian order (Wine's sorts by code point)");
    std::vector<ModRecord> records = recordsNamed(given);
    const SortChoice byName{SortColumn::Name, false};
#ifdef _WIN32
    if (namesIn(sortedRecords({records.begin(), records.end()}, byName, language)) != expected)
        QSKIP("Wine's collation differs from the language's own order");
#endif
    QCOMPARE(namesIn(sortedRecords({records.begin(), records.end()}, byName, language)), expected);
    std::reverse(expected.begin(), expected.end());
    QCOMPARE(namesIn(sortedRecords({records.begin(), records.end()}, {SortColumn::Name, true},
                                   language)),
             expected);
}

void OrganisingTest::versionsAndStatesSortAndTiesKeepTheCatalogueOrder()
{
    const QStringList versions{"2.0-beta", "1.10", "", "2.0", "1.9", "v1.9.1", "010.0", "1.9"};
    std::vector<ModRecord> records = recordsNamed({"a", "b", "c", "d", "e", "f", "g", "h"});
    for (std::size_t index = 0; index < records.size(); ++index) {
        records[index].version = versions[static_cast<qsizetype>(index)].toStdString();
        records[index].installState = index % 3 == 1;
    }
    const std::vector<std::reference_wrapper<ModRecord>> given(records.begin(), records.end());
    // No numbers first; then by numbers, the text after them last; ties as given.
    QCOMPARE(namesIn(sortedRecords(given, {SortColumn::Version, false}, UiLanguage::English)),
             (QStringList{"c", "e", "h", "f", "b", "d", "a", "g"}));
    QCOMPARE(namesIn(sortedRecords(given, {SortColumn::Version, true}, UiLanguage::English)),
             (QStringList{"g", "a", "d", "b", "f", "e", "h", "c"}));
    QCOMPARE(namesIn(sortedRecords(given, {SortColumn::State, false}, UiLanguage::English)),
             (QStringList{"b", "e", "h", "a", "c", "d", "f", "g"}));
    QCOMPARE(namesIn(sortedRecords(given, {SortColumn::State, true}, UiLanguage::English)),
             (QStringList{"a", "c", "d", "f", "g", "b", "e", "h"}));
    QCOMPARE(namesIn(sortedRecords(given, {}, UiLanguage::English)),
             (QStringList{"a", "b", "c", "d", "e", "f", "g", "h"}));
}

void OrganisingTest::headingClicksSortAndTheChoiceLasts()
{
    startProgram("EN");
    confirm();
    // The catalogue's order is the folder listing's, which differs between systems.
    QStringList catalogue;
    QStringList enabledFirst;
    QStringList disabled;
    for (const ModRecord &record : sharedCatalogue->records()) {
        catalogue.append(QString::fromStdString(record.self_ID));
        (record.installState ? enabledFirst : disabled).append(catalogue.back());
    }
    enabledFirst += disabled;
    QCOMPARE(shownIds(), catalogue);
    const std::string settings = readFile(*dir / "data" / "root.lua");
    auto *nameHeading = child<QLabel>(mainPanel, "label_name");
    const QRect headingPlace = nameHeading->geometry();
    auto *arrow = child<QLabel>(mainPanel, "sortArrow");
    QVERIFY(!arrow->isVisible());

    clickHeading("label_name");
    const QStringList byName{"mi8-hip2", "mi8-hip", "tanker", "tanker", "yak-52"};
    QCOMPARE(shownIds(), byName);
    QVERIFY(arrow->isVisible());
    QCOMPARE(arrow->text(), QStringLiteral("\u25B2"));
    QVERIFY(arrow->geometry().left() > headingPlace.right());
    QCOMPARE(nameHeading->geometry(), headingPlace);
    clickHeading("label_name");
    QCOMPARE(shownIds(), (QStringList{"yak-52", "tanker", "tanker", "mi8-hip", "mi8-hip2"}));
    QCOMPARE(arrow->text(), QStringLiteral("\u25BC"));
    clickHeading("label_state");
    QCOMPARE(shownIds(), enabledFirst);
    clickHeading("label_name");

    // The order survives a filter, a reload, switching a mod and a language change.
    modList()->setFilterText(QStringLiteral("mi8"));
    QCOMPARE(shownIds(), (QStringList{"mi8-hip2", "mi8-hip"}));
    modList()->setFilterText(QString());
    child<QAction>(mainPanel, "actionReload")->trigger();
    QCOMPARE(shownIds(), byName);
    child<QPushButton>(modList()->rowWidgetAt(0), "installButton")->click();
    QCOMPARE(shownIds(), byName);
    // Sorted again in the collation of the new language (Russian puts Cyrillic first).
    child<QAction>(mainPanel, "actionRussian")->trigger();
    QStringList inRussian;
    for (const ModRecord &record : sortedRecords(sharedCatalogue->records(),
                                                 {SortColumn::Name, false}, UiLanguage::Russian))
        inRussian.append(QString::fromStdString(record.self_ID));
    QCOMPARE(shownIds(), inRussian);
    child<QAction>(mainPanel, "actionEnglish")->trigger();
    QCOMPARE(shownIds(), byName);

    // Kept between runs in a file of its own; the settings keep only the language.
    windows.reset();
    sharedCatalogue.reset();
    startProgram("EN");
    confirm();
    QCOMPARE(shownIds(), byName);
    QVERIFY(child<QLabel>(mainPanel, "sortArrow")->isVisible());
    QCOMPARE(readFile(*dir / "data" / "root.lua"), settings);
    QVERIFY(readFile(*dir / "data" / "list-order").find("name ascending") != std::string::npos);

    // A damaged file: the catalogue's order and a message, and the list still sorts.
    windows.reset();
    sharedCatalogue.reset();
    writeFile(*dir / "data" / "list-order", "garbage");
    startProgram("EN");
    confirm();
    QCOMPARE(shownIds(), catalogue);
    QVERIFY2(statusText().contains(QStringLiteral("list-order")), qPrintable(statusText()));
    clickHeading("label_name");
    QCOMPARE(shownIds(), byName);
}

void OrganisingTest::notesAreMarkedFoundAndKeptPerFolder()
{
    startProgram("EN");
    confirm();
    std::deque<std::optional<QString>> answers{QStringLiteral("needed for #server1"),
                                               QStringLiteral("breaks the F-key menu #server1")};
    QString shownLabel;
    setNoteDialog([&](QWidget *, const QString &, const QString &label, const QString &) {
        shownLabel = label;
        const std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    });
    const int tanker = rowOf(QStringLiteral("tanker")); // the first of the two
    chooseFromMenu(openRowMenu(tanker), "rowNote");
    QVERIFY(shownLabel.contains(QStringLiteral("TANKER")));
    chooseFromMenu(openRowMenu(rowOf(QStringLiteral("yak-52"))), "rowNote");

    auto *mark = modList()->rowWidgetAt(tanker)->findChild<QLabel *>(QStringLiteral("noteMark"));
    QVERIFY(mark && mark->isVisible());
    QVERIFY2(mark->toolTip().contains(QStringLiteral("needed for #server1")), qPrintable(mark->toolTip()));
    QVERIFY(!modList()->rowWidgetAt(tanker + 1)->findChild<QLabel *>(QStringLiteral("noteMark")));

    modList()->setFilterText(QStringLiteral("#SERVER1"));
    QCOMPARE(shownIds(), (QStringList{"yak-52", "tanker"}));
    modList()->setFilterText(QStringLiteral("F-key"));
    QCOMPARE(shownIds(), (QStringList{"yak-52"}));
    modList()->setFilterText(QString());

    // After a reload and a restart the notes are where they were.
    child<QAction>(mainPanel, "actionReload")->trigger();
    QVERIFY(modList()->rowWidgetAt(rowOf(QStringLiteral("yak-52")))
                ->findChild<QLabel *>(QStringLiteral("noteMark")));
    windows.reset();
    sharedCatalogue.reset();
    startProgram("EN");
    confirm();
    modList()->setFilterText(QStringLiteral("server1"));
    QCOMPARE(shownIds(), (QStringList{"yak-52", "tanker"}));
    QCOMPARE(QString::fromStdString(modList()->shownRecords().back().get().modFolder().filename().string()),
             QStringLiteral("Tanker"));

    // An empty note removes it; a cancelled dialog changes nothing.
    modList()->setFilterText(QString());
    answers = {QString(), std::nullopt};
    chooseFromMenu(openRowMenu(rowOf(QStringLiteral("yak-52"))), "rowNote");
    chooseFromMenu(openRowMenu(rowOf(QStringLiteral("tanker"))), "rowNote");
    modList()->setFilterText(QStringLiteral("server1"));
    QCOMPARE(shownIds(), (QStringList{"tanker"}));
}

void OrganisingTest::damagedNotesFileIsRefusedAndTheProgramWorks()
{
    const std::string damaged = "tessel3 notes 1\nnot a note\n";
    writeFile(*dir / "data" / "notes", damaged);
    startProgram("RU");
    confirm();
    QVERIFY2(statusText().contains(QStringLiteral("повреждён")), qPrintable(statusText()));
    QCOMPARE(shownIds().size(), 5);
    bool asked = false;
    setNoteDialog([&](QWidget *, const QString &, const QString &, const QString &) {
        asked = true;
        return std::optional<QString>(QStringLiteral("x"));
    });
    chooseFromMenu(openRowMenu(0), "rowNote");
    QVERIFY(!asked);
    QVERIFY(statusText().contains(QStringLiteral("Заметка не сохранена")));
    QCOMPARE(readFile(*dir / "data" / "notes"), damaged);
    // Everything else still works.
    child<QAction>(mainPanel, "actionReload")->trigger();
    QCOMPARE(shownIds().size(), 5);
}

void OrganisingTest::copiedListHoldsTheShownRows()
{
    startProgram("EN");
    confirm();
    clickHeading("label_version");
    modList()->setFilterText(QStringLiteral("rotor"));
    child<QAction>(mainPanel, "actionCopy_Mod_List")->trigger();
    const QString hip = QDir::toNativeSeparators(qStringFromPath(mods / "aircraft" / "Hip"));
    const QString hip2 = QDir::toNativeSeparators(qStringFromPath(mods / "aircraft" / "Hip2"));
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("Self ID\tName\tDeveloper\tVersion\tState\tCategory\tFolder\n"
                            "mi8-hip2\tMi-8 2\tRotor Works\t1.9\tenabled\taircraft\t") +
                 hip2 + QStringLiteral("\nmi8-hip\tMi-8 10\tRotor Works\t1.10\tdisabled\taircraft\t") +
                 hip + QStringLiteral("\n"));
    QVERIFY(statusText().contains(QStringLiteral("2")));

    // The row menu copies the ID and the folder path.
    chooseFromMenu(openRowMenu(0), "rowCopyId");
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("mi8-hip2"));
    chooseFromMenu(openRowMenu(0), "rowCopyFolderPath");
    QCOMPARE(QGuiApplication::clipboard()->text(), hip2);
    // Install/Uninstall from the menu acts as the row's button does.
    QCOMPARE(child<QAction>(openRowMenu(0), "rowInstall")->text(), QStringLiteral("Uninstall"));
    chooseFromMenu(mainPanel->findChild<QMenu *>(QStringLiteral("rowMenu")), "rowInstall");
    QVERIFY(!modList()->recordAt(0)->installState);
}

void OrganisingTest::modGoesToTheTrashAfterConfirmation()
{
#ifdef _WIN32
    const bool onWindows = true;
#else
    const bool onWindows = false;
    // The user's own trash is never touched: home and data folder point into the test's folder.
    const QByteArray home = qgetenv("HOME");
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", QFile::encodeName(qStringFromPath(dir->path())));
    qputenv("XDG_DATA_HOME", QFile::encodeName(qStringFromPath(*dir / "xdg")));
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", home);
        dataHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", dataHome);
    });
#endif
    writeFile(mods / "aircraft" / "Yak52" / "Textures" / "big.bin", std::string(3000, 'x'));
    startProgram("EN");
    confirm();
    auto *recycler = mainPanel->findChild<ModRecycler *>();
    QSignalSpy finished(recycler, &ModRecycler::finished);
    QString question;
    bool answer = false;
    setConfirmDialog([&](QWidget *, const QString &, const QString &text, const QString &,
                         const QString &) {
        question = text;
        return answer;
    });

    // Cancelled: nothing moves.
    chooseFromMenu(openRowMenu(rowOf(QStringLiteral("yak-52"))), "rowMoveToRecycleBin");
    QVERIFY(finished.wait(10000));
    QVERIFY(question.contains(QStringLiteral("Як-52")));
    QVERIFY(question.contains(QDir::toNativeSeparators(qStringFromPath(mods / "aircraft" / "Yak52"))));
    QVERIFY2(question.contains(QRegularExpression(QStringLiteral("Size: 3[.,]\\d KiB"))), qPrintable(question));
    QVERIFY(fs::exists(mods / "aircraft" / "Yak52" / "entry.lua"));

    answer = true;
    chooseFromMenu(openRowMenu(rowOf(QStringLiteral("yak-52"))), "rowMoveToRecycleBin");
    QVERIFY(finished.wait(10000));
    if (onWindows && !finished.last().at(0).toBool()) {
        QVERIFY(fs::exists(mods / "aircraft" / "Yak52" / "Textures" / "big.bin"));
        QVERIFY(statusText().contains(QStringLiteral("Nothing was deleted")));
        QSKIP("Wine's shell cannot move to the recycle bin; the mod stayed in place");
    }
    QVERIFY2(finished.last().at(0).toBool(), qPrintable(statusText()));
    QVERIFY(!fs::exists(mods / "aircraft" / "Yak52"));
    QCOMPARE(shownIds(), (QStringList{"mi8-hip", "mi8-hip2", "tanker", "tanker"}));
    QVERIFY(statusText().contains(QStringLiteral("Recycle Bin")));
#ifndef _WIN32
    QCOMPARE(readFile(*dir / "xdg" / "Trash" / "files" / "Yak52" / "Textures" / "big.bin").size(),
             3000U);
#endif
}

void OrganisingTest::refusedTrashLeavesTheModInPlace()
{
#ifdef _WIN32
    QSKIP("a drive without a recycle bin cannot be made under Wine");
#else
    // A second drive whose trash cannot be made, and a home trash on another device.
    TmpfsMount drive(*dir / "drive", 1024 * 1024);
    if (!drive.mounted())
        QSKIP("needs root to mount a second drive");
    writeFile(*dir / "drive" / (".Trash-" + std::to_string(::getuid())), "not a folder");
    mods = *dir / "drive" / "mods";
    writeTestMod(mods, {"aircraft", "Hip", "mi8-hip", "Mi-8", "", "Rotor Works", "1.10", false});
    const QByteArray home = qgetenv("HOME");
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", QFile::encodeName(qStringFromPath(dir->path())));
    qputenv("XDG_DATA_HOME", QFile::encodeName(qStringFromPath(*dir / "xdg")));
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", home);
        dataHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", dataHome);
    });
    startProgram("CN");
    confirm();
    auto *recycler = mainPanel->findChild<ModRecycler *>();
    QSignalSpy finished(recycler, &ModRecycler::finished);
    setConfirmDialog([](QWidget *, const QString &, const QString &, const QString &,
                        const QString &) { return true; });
    chooseFromMenu(openRowMenu(0), "rowMoveToRecycleBin");
    QVERIFY(finished.wait(10000));
    QVERIFY(!finished.last().at(0).toBool());
    QVERIFY(fs::exists(mods / "aircraft" / "Hip" / kStorageFolderName / "entry.lua"));
    QVERIFY2(statusText().startsWith(QStringLiteral("未删除任何内容")), qPrintable(statusText()));
    QVERIFY(statusText().contains(QStringLiteral("此驱动器没有回收站")));
    QCOMPARE(shownIds(), QStringList{"mi8-hip"});
    windows.reset();
#endif
}

void OrganisingTest::screenshotsOfASortedListWithMenuAndNote_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("noteEntry");
    QTest::newRow("English") << "EN" << QStringLiteral("Note…");
    QTest::newRow("Chinese") << "CN" << QStringLiteral("备注…");
    QTest::newRow("Russian") << "RU" << QStringLiteral("Заметка…");
}

void OrganisingTest::screenshotsOfASortedListWithMenuAndNote()
{
    QFETCH(QString, code);
    QFETCH(QString, noteEntry);
    startProgram(code.toLatin1().constData());
    confirm();
    clickHeading("label_version");
    clickHeading("label_version");
    setNoteDialog([](QWidget *, const QString &, const QString &, const QString &) {
        return std::optional<QString>(QStringLiteral("needed for #server1"));
    });
    chooseFromMenu(openRowMenu(1), "rowNote");

    // The Menu key (or Shift+F10) opens the current row's menu.
    modList()->setCurrentRow(1);
    QTest::keyClick(modList(), Qt::Key_F10, Qt::ShiftModifier);
    auto *menu = mainPanel->findChild<QMenu *>(QStringLiteral("rowMenu"));
    // Grabbed at once: on the offscreen platform a popup closes at the next events.
    QVERIFY(menu);
    QCOMPARE(child<QAction>(menu, "rowNote")->text(), noteEntry);
    QCOMPARE(menu->actions().size(), 8); // six entries, two separators

    // The note shows as the tip of its mark.
    auto *mark = modList()->rowWidgetAt(1)->findChild<QLabel *>(QStringLiteral("noteMark"));
    QVERIFY(mark && mark->isVisible());
    const QPoint tipAt = mark->mapToGlobal(QPoint(mark->width() + 240, mark->height() / 2));
    QToolTip::showText(tipAt, mark->toolTip(), mark);
    QWidget *tip = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qstrcmp(widget->metaObject()->className(), "QTipLabel") == 0 && widget->isVisible())
            tip = widget;
    QVERIFY(tip);

    QImage shot = mainPanel->grab().toImage();
    {
        QPainter painter(&shot);
        painter.drawImage(mainPanel->mapFromGlobal(menu->pos()), menu->grab().toImage());
        painter.drawImage(mainPanel->mapFromGlobal(tip->pos()), tip->grab().toImage());
    }
    QToolTip::hideText();
    saveScreenshot(shot, QStringLiteral("organising-") + code.toLower());
    menu->close();
}

QTEST_MAIN(OrganisingTest)
#include "OrganisingTest.moc"
