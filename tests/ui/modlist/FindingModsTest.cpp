// Finding a mod in the real main panel: the filter field, duplicate self IDs,
// whole texts on hover and keyboard control of the list.

#include "ui/windows/MainPanel.h"

#include "app/AppState.h"
#include "app/ProgramWindows.h"
#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestMods.h"
#include "ui/windows/MainWindow.h"
#include "ui/texts/QtPathText.h"
#include "ui/modlist/VezModItemWidget.h"
#include "ui/modlist/VezModList.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include <filesystem>
#include <memory>
#include <string>

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

QLineEdit *filterEdit()
{
    return child<QLineEdit>(mainPanel, "filterEdit");
}

QWidget *filterBar()
{
    return child<QWidget>(mainPanel, "filterBar");
}

QString labelText(VezModItemWidget *row, const char *name)
{
    return child<QLabel>(row, name)->text();
}

// The self IDs of the rows shown, top to bottom; hidden rows must have no widget.
QStringList shownIds()
{
    QStringList ids;
    VezModList *list = modList();
    for (int index = 0; index < list->count(); ++index) {
        if (list->isRowHidden(index)) {
            if (list->itemWidget(list->item(index)))
                qFatal("hidden row %d has a widget", index);
            continue;
        }
        ids.append(labelText(list->rowWidgetAt(index), "selfIdLabel"));
    }
    return ids;
}

VezModItemWidget *rowOf(const QString &selfId)
{
    VezModList *list = modList();
    for (int index = 0; index < list->count(); ++index)
        if (!list->isRowHidden(index) &&
            labelText(list->rowWidgetAt(index), "selfIdLabel") == selfId)
            return list->rowWidgetAt(index);
    return nullptr;
}

// Types the text as a keyboard would, each key to whichever widget has the focus
// then (QTest::keyClicks knows only Latin-1 keys and a fixed receiver).
void type(const QString &text)
{
    for (const QChar character : text) {
        const ushort code = character.toUpper().unicode();
        const auto key = code < 0x80 ? Qt::Key(code) : Qt::Key_unknown;
        QWidget *receiver = QApplication::focusWidget();
        if (!receiver)
            qFatal("nothing has the focus");
        QTest::sendKeyEvent(QTest::Click, receiver, key, QString(character), Qt::NoModifier);
    }
}

// The tip a hover over the widget's centre brings up, asked of `receiver` (the
// widget itself, or one lying over it); empty when none shows.
QString hoverTip(QWidget *widget, QWidget *receiver = nullptr)
{
    QCoreApplication::processEvents();
    QToolTip::hideText(); // after a short delay
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000))
        qFatal("a tool tip stays");
    if (!receiver)
        receiver = widget;
    const QPoint global = widget->mapToGlobal(widget->rect().center());
    QHelpEvent help(QEvent::ToolTip, receiver->mapFromGlobal(global), global);
    QCoreApplication::sendEvent(receiver, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

} // namespace

class FindingModsTest : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url)
    {
        openedUrls.append(url);
    }

private slots:
    void init();
    void cleanup();
    void typingFilters_data();
    void typingFilters();
    void filterSurvivesReloadAndLanguageSwitch();
    void duplicatesAreFlaggedUntilOneIsRemoved_data();
    void duplicatesAreFlaggedUntilOneIsRemoved();
    void cutOffTextsHaveTheirWholeTextAsTip();
    void keysMoveTheCurrentRowAndPressItsButtons();

private:
    void startProgram(const char *languageCode);
    void confirm();

    std::unique_ptr<TempDir> dir;
    std::unique_ptr<WorkingDirectoryScope> workingDirectory;
    std::unique_ptr<ProgramWindows> windows;
    fs::path mods;
    QList<QUrl> openedUrls;
};

void FindingModsTest::init()
{
    dir = std::make_unique<TempDir>();
    workingDirectory = std::make_unique<WorkingDirectoryScope>(dir->path());
    mods = dir->path() / "mods";
    writeTestMod(mods, {"aircraft", "Yak52", "yak-52", "Як-52", "", "ОКБ Яковлева", "2.1", true});
    writeTestMod(mods, {"aircraft", "Hip", "mi8-hip", "Mi-8 HIP", "", "Rotor Works", "1.0", false});
    writeTestMod(mods, {"tech", "Tanker", "tanker", "", "TANKER", "Ground Crew", "3.14", true});
}

void FindingModsTest::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    windows.reset();
    sharedCatalogue.reset();
    currentLanguage = UiLanguage::English;
    openedUrls.clear();
    workingDirectory.reset();
    dir.reset();
}

void FindingModsTest::startProgram(const char *languageCode)
{
    writeFile(*dir / "data" / "root.lua", std::string("local Language = \"") + languageCode +
                                              "\"\r\nlocal DIRECTORY = \"\"\r\n");
    fs::copy_file(fs::path(TESSEL3_SOURCE_DIR) / "data" / "background.png",
                  *dir / "data" / "background.png");
    currentLanguage = UiLanguage::English;
    loadLanguageSetting();
    windows = std::make_unique<ProgramWindows>();
}

void FindingModsTest::confirm()
{
    child<QLineEdit>(directoryWindow, "lineEdit")->setText(qStringFromPath(mods));
    QTest::mouseClick(child<QPushButton>(directoryWindow, "pushButton_Confirm"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(mainPanel));
    modList()->setFocus();
}

void FindingModsTest::typingFilters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("Cyrillic name, other case") << "як" << QStringList{"yak-52"};
    QTest::newRow("Cyrillic developer, other case") << "ЯКОВЛЕВА" << QStringList{"yak-52"};
    QTest::newRow("Latin name, other case") << "hip" << QStringList{"mi8-hip"};
    QTest::newRow("short name shown for want of a display name") << "Tank" << QStringList{"tanker"};
    QTest::newRow("version") << "3.1" << QStringList{"tanker"};
    QTest::newRow("developer, every row but one") << "R" << QStringList{"mi8-hip", "tanker"};
    QTest::newRow("nothing matches") << "zzz" << QStringList{};
}

void FindingModsTest::typingFilters()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    startProgram("EN");
    confirm();
    QVERIFY(filterBar()->isHidden());

    type(typed);

    QVERIFY(filterBar()->isVisible());
    QCOMPARE(filterEdit()->text(), typed);
    QVERIFY(filterEdit()->hasFocus());
    QCOMPARE(shownIds(), shown);
    QCOMPARE(child<QLabel>(mainPanel, "filterCount")->text(),
             QStringLiteral("%1 / 3").arg(shown.size()));

    QTest::keyClick(filterEdit(), Qt::Key_Escape);
    QVERIFY(filterBar()->isHidden());
    QCOMPARE(filterEdit()->text(), QString());
    QCOMPARE(shownIds().size(), 3);
    QVERIFY(modList()->hasFocus());

    // Ctrl+F opens it empty; a space typed there is text.
    QTest::keyClick(modList(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(filterBar()->isVisible());
    QCOMPARE(filterEdit()->text(), QString());
    type(QStringLiteral("Mi-8 h"));
    QCOMPARE(shownIds(), QStringList{"mi8-hip"});
}

void FindingModsTest::filterSurvivesReloadAndLanguageSwitch()
{
    startProgram("EN");
    confirm();
    type(QStringLiteral("works"));
    QCOMPARE(shownIds(), QStringList{"mi8-hip"});
    writeTestMod(mods, {"tech", "Tow", "tow-tractor", "Tow", "", "Ground Works", "1", true});
    writeTestMod(mods, {"tech", "Fuel", "fuel-truck", "Fuel", "", "Ground Crew", "1", true});

    QTest::keyClick(filterEdit(), Qt::Key_F5); // reloads like the menu's Reload

    QCOMPARE(shownIds(), (QStringList{"mi8-hip", "tow-tractor"}));
    QCOMPARE(child<QLabel>(mainPanel, "filterCount")->text(), QStringLiteral("2 / 5"));
    child<QAction>(mainPanel, "actionRussian")->trigger();
    QCOMPARE(shownIds(), (QStringList{"mi8-hip", "tow-tractor"}));
    QCOMPARE(filterEdit()->placeholderText(), QStringLiteral("Фильтр модов"));
    child<QAction>(mainPanel, "actionEnable_All")->trigger();
    QCOMPARE(shownIds(), (QStringList{"mi8-hip", "tow-tractor"}));
    QCOMPARE(filterEdit()->text(), QStringLiteral("works"));
}

void FindingModsTest::duplicatesAreFlaggedUntilOneIsRemoved_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("note");
    QTest::newRow("en") << "EN" << "Other mods declare this self ID too:";
    QTest::newRow("cn") << "CN" << "其他模组也声明了此识别码：";
    QTest::newRow("ru") << "RU" << "Этот ID объявлен и в других модах:";
}

void FindingModsTest::duplicatesAreFlaggedUntilOneIsRemoved()
{
    QFETCH(QString, code);
    QFETCH(QString, note);
    writeTestMod(mods, {"tech", "Hip copy", "mi8-hip", "Mi-8 copy", "", "Copier", "1.1", true});
    startProgram(code.toLatin1().constData());
    confirm();
    type(QStringLiteral("mi"));

    QCOMPARE(shownIds(), (QStringList{"mi8-hip", "mi8-hip"}));
    const QString copyFolder = QDir::toNativeSeparators(qStringFromPath(mods / "tech" / "Hip copy"));
    const QString firstFolder = QDir::toNativeSeparators(qStringFromPath(mods / "aircraft" / "Hip"));
    // Aircraft first: the first row shown is the original, the second its copy.
    QList<QLabel *> idLabels;
    for (int index = 0; index < modList()->count(); ++index)
        if (!modList()->isRowHidden(index))
            idLabels.append(child<QLabel>(modList()->rowWidgetAt(index), "selfIdLabel"));
    QLabel *first = idLabels.at(0);
    QCOMPARE(hoverTip(first), note + QLatin1Char('\n') + copyFolder);
    QCOMPARE(hoverTip(idLabels.at(1)), note + QLatin1Char('\n') + firstFolder);

    mainPanel->repaint();
    const QImage shot = mainPanel->grab().toImage();
    saveScreenshot(shot, QStringLiteral("finding-mods-") + code.toLower());
    const QRect idArea(first->mapTo(mainPanel, QPoint(0, 0)), first->size());
    QVERIFY(hasPixelNear(shot, idArea, QColor(255, 96, 96), 40));

    fs::remove_all(mods / "tech" / "Hip copy");
    child<QAction>(mainPanel, "actionReload")->trigger();
    QCOMPARE(shownIds(), QStringList{"mi8-hip"});
    QCOMPARE(hoverTip(child<QLabel>(rowOf(QStringLiteral("mi8-hip")), "selfIdLabel")), QString());
    const QImage after = mainPanel->grab().toImage();
    QLabel *only = child<QLabel>(rowOf(QStringLiteral("mi8-hip")), "selfIdLabel");
    QVERIFY(!hasPixelNear(after, QRect(only->mapTo(mainPanel, QPoint(0, 0)), only->size()),
                          QColor(255, 96, 96), 40));
}

void FindingModsTest::cutOffTextsHaveTheirWholeTextAsTip()
{
    const QString longName = QStringLiteral("Sukhoi Su-25T Frogfoot, ground attack, full campaign");
    writeTestMod(mods, {"aircraft", "Su25", "su-25t", longName.toStdString(), "", "", "", true});
    startProgram("RU");
    QVERIFY(QTest::qWaitForWindowExposed(directoryWindow));
    QCOMPARE(hoverTip(child<QPushButton>(directoryWindow, "pushButton")),
             QStringLiteral("Выбрать папку"));
    confirm();

    VezModItemWidget *row = rowOf(QStringLiteral("su-25t"));
    QCOMPARE(hoverTip(child<QLabel>(row, "nameLabel")), longName);
    QCOMPARE(hoverTip(child<QLabel>(row, "selfIdLabel")), QString());
    // The headings lie under the drag strip, which asks for their tips.
    QWidget *strip = child<QWidget>(mainPanel, "dragStrip");
    QCOMPARE(hoverTip(child<QLabel>(mainPanel, "label_developer"), strip),
             QStringLiteral("Разработчик"));
    QCOMPARE(hoverTip(child<QLabel>(mainPanel, "label_selfID"), strip), QString());
}

void FindingModsTest::keysMoveTheCurrentRowAndPressItsButtons()
{
    for (int index = 0; index < 40; ++index)
        writeTestMod(mods, {"tech", "Filler" + std::to_string(index), "filler-" + std::to_string(index),
                            "Filler", "", "", "", true});
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    startProgram("EN");
    confirm();
    VezModList *list = modList();

    QTest::keyClick(list, Qt::Key_End);
    const int last = list->count() - 1;
    QCOMPARE(list->currentRow(), last);
    QVERIFY(list->itemWidget(list->item(last)));
    QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(last))));

    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentRow(), 1);
    const QString id = labelText(list->rowWidgetAt(1), "selfIdLabel");
    const fs::path folder = mods / "aircraft" / (id == QStringLiteral("mi8-hip") ? "Hip" : "Yak52");
    const bool wasEnabled = fs::exists(folder / kEntryFileName);

    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(fs::exists(folder / kEntryFileName), !wasEnabled);
    QCOMPARE(fs::exists(folder / kStorageFolderName / kEntryFileName), wasEnabled);

    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(openedUrls, QList<QUrl>{QUrl::fromLocalFile(qStringFromPath(folder))});

    // From the filter field the arrows still move the current row; Enter hands back the keys.
    type(QStringLiteral("filler-3"));
    QVERIFY(!list->isRowHidden(list->currentRow()));
    const int firstShown = list->currentRow();
    QTest::keyClick(filterEdit(), Qt::Key_Down);
    QVERIFY(list->currentRow() > firstShown);
    QVERIFY(!list->isRowHidden(list->currentRow()));
    QVERIFY(filterEdit()->hasFocus());
    QTest::keyClick(filterEdit(), Qt::Key_Return);
    QVERIFY(list->hasFocus());
    QCOMPARE(filterEdit()->text(), QStringLiteral("filler-3"));
}

QTEST_MAIN(FindingModsTest)
#include "FindingModsTest.moc"
