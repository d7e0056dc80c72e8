#include "ui/modlist/VezModList.h"

#include "ui/texts/CurrentLanguage.h"
#include "library/catalogue/Constants.h"
#include "library/catalogue/ModCatalogue.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestMods.h"
#include "ui/texts/QtPathText.h"
#include "ui/modlist/VezModItemWidget.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include <filesystem>
#include <optional>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const QColor kOrange(245, 158, 15);
const QColor kGrey(128, 128, 128);

struct RowTexts
{
    QString selfId, name, developer, version, state, install, open;
};

QString textOf(VezModItemWidget *row, const char *name)
{
    if (auto *label = row->findChild<QLabel *>(QString::fromUtf8(name)))
        return label->text();
    return row->findChild<QPushButton *>(QString::fromUtf8(name))->text();
}

RowTexts textsOf(VezModItemWidget *row)
{
    return {textOf(row, "selfIdLabel"),  textOf(row, "nameLabel"),  textOf(row, "developerLabel"),
            textOf(row, "versionLabel"), textOf(row, "stateLabel"), textOf(row, "installButton"),
            textOf(row, "openButton")};
}

QString stateSheet(VezModItemWidget *row)
{
    return row->findChild<QLabel *>(QStringLiteral("stateLabel"))->styleSheet();
}

const QString kEnabledSheet = QStringLiteral("color: rgb(245,158,15); font-weight: bold;");
const QString kDisabledSheet = QStringLiteral("color: rgb(128,128,128); font-weight: bold;");

} // namespace

// The list as the main panel holds it: in a dark main window with a status bar.
class VezModListTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rowsShowTheirRecords();
    void rowTexts_data();
    void rowTexts();
    void installAndUninstallMoveTheFileAndRefreshOnlyThatRow();
    void refusedMoveLeavesTheRow();
    void failingStorageCheckIsReportedAndLeavesTheRow();
    void openButtonOpensTheModFolder();
    void rowsWithTheSameIdActOnTheirOwnFiles();
    void languageSwitchReachesEveryRow();
    void rowsOutOfViewAreBuiltWhenReached();
    void rowsFilledWhileHiddenAreThereWhenShownAndScrolledByWheel();
    void rowsSortedIntoViewShowTheirOwnRecords();
    void screenshots_data();
    void screenshots();

public slots:
    void recordUrl(const QUrl &url);

private:
    std::optional<TempDir> m_folder;
    std::optional<QMainWindow> m_window;
    VezModList *m_list = nullptr;
    QList<QUrl> m_openedUrls;

    fs::path mods() const;
    void loadAndFill();
    VezModItemWidget *rowAt(int index);
    // Rows of one category come in listing order, which the file system decides.
    VezModItemWidget *rowOf(const char *selfId);
    ModRecord &recordOf(const char *selfId);
};

void VezModListTest::init()
{
    currentLanguage = UiLanguage::English;
    m_folder.emplace();
    m_window.emplace();
    m_window->setStyleSheet(QStringLiteral("background-color:rgb(39,39,39)"));
    m_window->resize(800, 600);
    m_window->setStatusBar(new QStatusBar);
    auto *central = new QWidget;
    m_window->setCentralWidget(central);
    m_list = new VezModList(central);
    m_list->setObjectName(QStringLiteral("listWidget"));
    m_list->setGeometry(30, 40, 731, 511);
    m_list->setStyleSheet(QStringLiteral("background-color: rgba(255, 255, 255, 0);"));
    m_openedUrls.clear();

    // aircraft: an enabled mod, a disabled one without names; tech: one with a short name only.
    writeTestMod(
        mods(), {"aircraft", "Alpha", "alpha_id", "Alpha Jet", "AJ", "Alpha Works", "1.2.3", true});
    writeTestMod(mods(), {"aircraft", "Bravo", "bravo_id", "", "", "", "", false});
    writeTestMod(mods(), {"tech", "Charlie", "charlie_id", "", "C-short", "Dev C", "0.1", true});
}

void VezModListTest::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    m_list = nullptr;
    m_window.reset();
    sharedCatalogue.reset();
    m_folder.reset();
    currentLanguage = UiLanguage::English;
}

void VezModListTest::recordUrl(const QUrl &url)
{
    m_openedUrls.append(url);
}

fs::path VezModListTest::mods() const
{
    return m_folder->path() / "mods";
}

void VezModListTest::loadAndFill()
{
    loadCatalogue(mods().string());
    m_list->fillRows(sharedCatalogue->records());
}

VezModItemWidget *VezModListTest::rowAt(int index)
{
    return m_list->rowWidgetAt(index);
}

VezModItemWidget *VezModListTest::rowOf(const char *selfId)
{
    for (int index = 0; index < m_list->count(); ++index)
        if (textOf(rowAt(index), "selfIdLabel") == QString::fromUtf8(selfId))
            return rowAt(index);
    return nullptr;
}

ModRecord &VezModListTest::recordOf(const char *selfId)
{
    for (ModRecord &record : sharedCatalogue->records())
        if (record.self_ID == selfId)
            return record;
    throw std::logic_error("no such record");
}

void VezModListTest::rowsShowTheirRecords()
{
    loadAndFill();
    QCOMPARE(m_list->count(), 3);
    const RowTexts alpha = textsOf(rowOf("alpha_id"));
    QCOMPARE(alpha.selfId, QStringLiteral("alpha_id"));
    QCOMPARE(alpha.name, QStringLiteral("Alpha Jet"));
    QCOMPARE(alpha.developer, QStringLiteral("Alpha Works"));
    QCOMPARE(alpha.version, QStringLiteral("1.2.3"));
    QCOMPARE(stateSheet(rowOf("alpha_id")), kEnabledSheet);

    const RowTexts bravo = textsOf(rowOf("bravo_id"));
    QCOMPARE(bravo.name, QStringLiteral("None"));
    QCOMPARE(bravo.developer, QString());
    QCOMPARE(bravo.version, QString());
    QCOMPARE(stateSheet(rowOf("bravo_id")), kDisabledSheet);

    QCOMPARE(textsOf(rowOf("charlie_id")).name, QStringLiteral("C-short"));

    // Columns left to right, with the fixed widths of the headings.
    QCOMPARE(m_list->count(), 3);
    QCOMPARE(textOf(rowAt(2), "selfIdLabel"), QStringLiteral("charlie_id"));
    auto *row = rowOf("alpha_id");
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*m_window));
    const char *order[] = {"selfIdLabel", "nameLabel",     "developerLabel", "versionLabel",
                           "stateLabel",  "installButton", "openButton"};
    int previousRight = -1;
    for (const char *name : order) {
        auto *widget = row->findChild<QWidget *>(QString::fromUtf8(name));
        QVERIFY2(widget->x() > previousRight, name);
        previousRight = widget->geometry().right();
    }
    QCOMPARE(row->findChild<QLabel *>(QStringLiteral("selfIdLabel"))->width(), 120);
    QCOMPARE(row->findChild<QLabel *>(QStringLiteral("nameLabel"))->width(), 120);
    QCOMPARE(row->findChild<QLabel *>(QStringLiteral("developerLabel"))->width(), 100);
    QCOMPARE(row->findChild<QLabel *>(QStringLiteral("versionLabel"))->width(), 80);
    QCOMPARE(row->findChild<QPushButton *>(QStringLiteral("openButton"))->size(), QSize(50, 30));
    QCOMPARE(row->findChild<QPushButton *>(QStringLiteral("installButton"))->height(), 30);
    for (int index = 0; index < m_list->count(); ++index)
        QCOMPARE(m_list->item(index)->sizeHint(), rowAt(index)->sizeHint());
}

void VezModListTest::rowTexts_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("uninstall");
    QTest::addColumn<QString>("install");
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<QString>("disabled");
    QTest::addColumn<QString>("open");
    QTest::newRow("English") << 0 << "Uninstall"
                             << "Install"
                             << "enabled"
                             << "disabled"
                             << "open";
    QTest::newRow("Chinese") << 1 << "卸载"
                             << "安装"
                             << "已启用"
                             << "未启用"
                             << "打开";
    QTest::newRow("Russian") << 2 << "Удалить"
                             << "Установить"
                             << "включено"
                             << "отключено"
                             << "открыть";
}

void VezModListTest::rowTexts()
{
    QFETCH(int, language);
    QFETCH(QString, uninstall);
    QFETCH(QString, install);
    QFETCH(QString, enabled);
    QFETCH(QString, disabled);
    QFETCH(QString, open);
    currentLanguage = static_cast<UiLanguage>(language);
    loadAndFill();

    const RowTexts alpha = textsOf(rowOf("alpha_id"));
    QCOMPARE(alpha.install, uninstall);
    QCOMPARE(alpha.state, enabled);
    QCOMPARE(alpha.open, open);
    const RowTexts bravo = textsOf(rowOf("bravo_id"));
    QCOMPARE(bravo.install, install);
    QCOMPARE(bravo.state, disabled);
    QCOMPARE(bravo.open, open);
    // The state colour does not follow the language.
    QCOMPARE(stateSheet(rowOf("alpha_id")), kEnabledSheet);
    QCOMPARE(stateSheet(rowOf("bravo_id")), kDisabledSheet);
}

void VezModListTest::installAndUninstallMoveTheFileAndRefreshOnlyThatRow()
{
    currentLanguage = UiLanguage::Russian;
    loadAndFill();
    const fs::path bravo = mods() / "aircraft" / "Bravo";
    // A change behind the third row's back shows whether that row was refreshed.
    ModRecord &charlie = recordOf("charlie_id");
    charlie.version = "changed";

    QTest::mouseClick(rowOf("bravo_id")->findChild<QPushButton *>(QStringLiteral("installButton")),
                      Qt::LeftButton);
    QVERIFY(fs::exists(bravo / "entry.lua"));
    QVERIFY(!fs::exists(bravo / kStorageFolderName / "entry.lua"));
    QCOMPARE(textsOf(rowOf("bravo_id")).state, QStringLiteral("включено"));
    QCOMPARE(textsOf(rowOf("bravo_id")).install, QStringLiteral("Удалить"));
    QCOMPARE(stateSheet(rowOf("bravo_id")), kEnabledSheet);
    QCOMPARE(textsOf(rowOf("charlie_id")).version, QStringLiteral("0.1"));

    QTest::mouseClick(rowOf("bravo_id")->findChild<QPushButton *>(QStringLiteral("installButton")),
                      Qt::LeftButton);
    QVERIFY(!fs::exists(bravo / "entry.lua"));
    QVERIFY(fs::exists(bravo / kStorageFolderName / "entry.lua"));
    QCOMPARE(textsOf(rowOf("bravo_id")).state, QStringLiteral("отключено"));
    QCOMPARE(textsOf(rowOf("bravo_id")).install, QStringLiteral("Установить"));
    QCOMPARE(stateSheet(rowOf("bravo_id")), kDisabledSheet);
    QCOMPARE(textsOf(rowOf("alpha_id")).state, QStringLiteral("включено"));
}

void VezModListTest::refusedMoveLeavesTheRow()
{
    // Both places hold an entry file: the move into storage is refused.
    const fs::path alpha = mods() / "aircraft" / "Alpha";
    writeFile(alpha / kStorageFolderName / "entry.lua", "local self_ID = \"stored\"\n");
    loadAndFill();
    QTest::mouseClick(rowOf("alpha_id")->findChild<QPushButton *>(QStringLiteral("installButton")),
                      Qt::LeftButton);
    QVERIFY(fs::exists(alpha / "entry.lua"));
    QCOMPARE(textsOf(rowOf("alpha_id")).state, QStringLiteral("enabled"));
    QCOMPARE(textsOf(rowOf("alpha_id")).install, QStringLiteral("Uninstall"));
    QCOMPARE(recordOf("alpha_id").installState, true);
}

void VezModListTest::failingStorageCheckIsReportedAndLeavesTheRow()
{
#ifdef _WIN32
    QSKIP("std::filesystem cannot create symbolic links here");
#endif
    // A storage folder that is a link to itself cannot be tested for existence.
    const fs::path alpha = mods() / "aircraft" / "Alpha";
    fs::create_directory_symlink(kStorageFolderName, alpha / kStorageFolderName);
    currentLanguage = UiLanguage::Chinese;
    loadAndFill();
    m_window->show();

    QTest::mouseClick(rowOf("alpha_id")->findChild<QPushButton *>(QStringLiteral("installButton")),
                      Qt::LeftButton);

    QVERIFY(fs::exists(alpha / "entry.lua"));
    QCOMPARE(textsOf(rowOf("alpha_id")).state, QStringLiteral("已启用"));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    const QString message = m_window->statusBar()->currentMessage();
    QVERIFY2(message.startsWith(QStringLiteral("无法移动模组的入口文件：")), qPrintable(message));
    QVERIFY2(message.contains(qStringFromPath(alpha / kStorageFolderName)), qPrintable(message));
}

void VezModListTest::openButtonOpensTheModFolder()
{
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "recordUrl");
    loadAndFill();
    QTest::mouseClick(rowOf("alpha_id")->findChild<QPushButton *>(QStringLiteral("openButton")),
                      Qt::LeftButton);
    QTest::mouseClick(rowOf("bravo_id")->findChild<QPushButton *>(QStringLiteral("openButton")),
                      Qt::LeftButton);
    QCOMPARE(m_openedUrls.size(), 2);
    QCOMPARE(m_openedUrls[0], QUrl::fromLocalFile(qStringFromPath(mods() / "aircraft" / "Alpha")));
    // The disabled mod's folder, not its storage folder.
    QCOMPARE(m_openedUrls[1], QUrl::fromLocalFile(qStringFromPath(mods() / "aircraft" / "Bravo")));
}

void VezModListTest::rowsWithTheSameIdActOnTheirOwnFiles()
{
    writeTestMod(mods(), {"aircraft", "Дубль", "twin", "Twin A", "", "", "", true});
    writeTestMod(mods(), {"tech", "Twin", "twin", "Twin B", "", "", "", true});
    loadAndFill();
    QCOMPARE(m_list->count(), 5);
    int first = -1;
    int second = -1;
    for (int index = 0; index < m_list->count(); ++index)
        if (textsOf(rowAt(index)).selfId == QStringLiteral("twin"))
            (first < 0 ? first : second) = index;
    QVERIFY(first >= 0 && second > first);

    QTest::mouseClick(rowAt(second)->findChild<QPushButton *>(QStringLiteral("installButton")),
                      Qt::LeftButton);
    QVERIFY(fs::exists(mods() / "tech" / "Twin" / kStorageFolderName / "entry.lua"));
    QVERIFY(fs::exists(mods() / "aircraft" / u8"Дубль" / "entry.lua"));
    QCOMPARE(textsOf(rowAt(first)).state, QStringLiteral("enabled"));
    QCOMPARE(textsOf(rowAt(second)).state, QStringLiteral("disabled"));
}

void VezModListTest::languageSwitchReachesEveryRow()
{
    loadAndFill();
    currentLanguage = UiLanguage::Russian;
    m_list->updateRowsLanguage();
    for (int index = 0; index < m_list->count(); ++index) {
        const RowTexts texts = textsOf(rowAt(index));
        const bool enabled = sharedCatalogue->records()[size_t(index)].get().installState;
        QCOMPARE(texts.install, enabled ? QStringLiteral("Удалить") : QStringLiteral("Установить"));
        QCOMPARE(texts.state, enabled ? QStringLiteral("включено") : QStringLiteral("отключено"));
        QCOMPARE(texts.open, QStringLiteral("открыть"));
    }
    QCOMPARE(textsOf(rowOf("alpha_id")).name, QStringLiteral("Alpha Jet"));
    QCOMPARE(stateSheet(rowOf("bravo_id")), kDisabledSheet);
}

void VezModListTest::rowsOutOfViewAreBuiltWhenReached()
{
    std::vector<ModRecord> records(400);
    for (size_t index = 0; index < records.size(); ++index) {
        records[index].entryPath = "/nowhere/aircraft/m" + std::to_string(index) + "/entry.lua";
        records[index].self_ID = "id" + std::to_string(index);
        records[index].installState = index % 2 == 0;
    }
    records[5].displayName = "<b>rich</b><br>two lines";
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*m_window));
    m_list->fillRows({records.begin(), records.end()});
    QCOMPARE(m_list->count(), 400);
    QVERIFY(!m_list->itemWidget(m_list->item(399)));

    // Later rows read their record when built, as a refresh of an early row would.
    records[398].installState = true;
    m_list->refreshRows();
    currentLanguage = UiLanguage::Chinese;
    m_list->updateRowsLanguage();
    m_list->scrollToBottom();
    QCoreApplication::processEvents();
    auto *last = qobject_cast<VezModItemWidget *>(m_list->itemWidget(m_list->item(398)));
    QVERIFY(last);
    QCOMPARE(textsOf(last).state, QStringLiteral("已启用"));
    QCOMPARE(textsOf(last).selfId, QStringLiteral("id398"));
    // Rows left far behind give up their widgets and get fresh ones when reached again.
    QVERIFY(!m_list->itemWidget(m_list->item(0)));
    records[0].installState = false;
    m_list->scrollToTop();
    QCoreApplication::processEvents();
    auto *first = qobject_cast<VezModItemWidget *>(m_list->itemWidget(m_list->item(0)));
    QVERIFY(first);
    QCOMPARE(textsOf(first).state, QStringLiteral("未启用"));

    // Every row has the size hint its own widget gives, built early or late, in the
    // state it was filled in.
    records[0].installState = true;
    currentLanguage = UiLanguage::English;
    for (int index : {0, 1, 5, 200, 201, 399}) {
        VezModItemWidget *row = m_list->rowWidgetAt(index);
        QVERIFY(row);
        const VezModItemWidget reference(records[size_t(index)], m_list->viewport());
        QCOMPARE(m_list->item(index)->sizeHint(), reference.sizeHint());
    }
    QCOMPARE(m_list->rowWidgetAt(400), nullptr);
    m_list->fillRows({}); // the records go before the list
}

void VezModListTest::rowsSortedIntoViewShowTheirOwnRecords()
{
    // Sorting by name reverses the order: the rows that come into view had no widget.
    std::vector<ModRecord> records(400);
    for (size_t index = 0; index < records.size(); ++index) {
        records[index].entryPath = "/nowhere/aircraft/m" + std::to_string(index) + "/entry.lua";
        records[index].self_ID = "id" + std::to_string(index);
        records[index].displayName = "name" + std::to_string(1000 - index);
        records[index].installState = index % 3 != 0;
    }
    records[300].self_ID = records[2].self_ID;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*m_window));
    m_list->fillRows({records.begin(), records.end()});
    m_list->setCurrentRow(110);
    m_list->scrollToItem(m_list->item(100), QAbstractItemView::PositionAtTop);
    QCoreApplication::processEvents();

    for (const bool descending : {false, true}) {
        m_list->setSortChoice({SortColumn::Name, descending});
        QCoreApplication::processEvents();
        QCOMPARE(m_list->recordAt(m_list->currentRow()), &records[110]);
        int checked = 0;
        for (int index = 0; index < m_list->count(); ++index) {
            auto *row = qobject_cast<VezModItemWidget *>(m_list->itemWidget(m_list->item(index)));
            if (!row)
                continue;
            const ModRecord &record = *m_list->recordAt(index);
            QCOMPARE(textsOf(row).selfId, QString::fromStdString(record.self_ID));
            QCOMPARE(textsOf(row).name, QString::fromStdString(record.displayName));
            QCOMPARE(stateSheet(row), record.installState ? kEnabledSheet : kDisabledSheet);
            QCOMPARE(m_list->item(index)->sizeHint(),
                     VezModItemWidget(*m_list->recordAt(index), m_list->viewport()).sizeHint());
            const bool duplicate = record.self_ID == records[2].self_ID;
            QCOMPARE(row->findChild<QLabel *>(QStringLiteral("selfIdLabel"))->toolTip().isEmpty(),
                     !duplicate);
            ++checked;
        }
        QVERIFY(checked > 5);
    }
    m_list->fillRows({});
}

void VezModListTest::rowsFilledWhileHiddenAreThereWhenShownAndScrolledByWheel()
{
    std::vector<ModRecord> records(300);
    for (size_t index = 0; index < records.size(); ++index) {
        records[index].entryPath = "/nowhere/tech/m" + std::to_string(index) + "/entry.lua";
        records[index].self_ID = "id" + std::to_string(index);
    }
    // As after a Confirm: the panel is filled before it is shown.
    m_list->fillRows({records.begin(), records.end()});
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*m_window));
    const auto everyRowInViewIsBuilt = [this] {
        int inView = 0;
        for (int index = 0; index < m_list->count(); ++index) {
            if (!m_list->visualItemRect(m_list->item(index)).intersects(m_list->viewport()->rect()))
                continue;
            ++inView;
            if (!m_list->itemWidget(m_list->item(index)))
                return false;
        }
        return inView > 3;
    };
    QVERIFY(everyRowInViewIsBuilt());
    // The scroll bar takes no room from the rows.
    QCOMPARE(m_list->viewport()->width(), m_list->width() - 2 * m_list->frameWidth());

    const int before = m_list->verticalScrollBar()->value();
    for (int step = 0; step < 20; ++step) {
        const QPointF at(100, 100);
        QWheelEvent wheel(at, m_list->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_list->viewport(), &wheel);
    }
    QVERIFY(m_list->verticalScrollBar()->value() > before);
    QVERIFY(everyRowInViewIsBuilt());
    m_list->fillRows({}); // the records go before the list
}

void VezModListTest::screenshots_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("en") << 0;
    QTest::newRow("cn") << 1;
    QTest::newRow("ru") << 2;
}

void VezModListTest::screenshots()
{
    QFETCH(int, language);
    writeTestMod(mods(), {"aircraft", "Kestrel", "kestrel-k1", "Кестрел К-1", "", "北风工作室",
                          "1.4.2", true});
    currentLanguage = static_cast<UiLanguage>(language);
    loadAndFill();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*m_window));

    const QImage shot = m_window->grab().toImage();
    saveScreenshot(shot, QStringLiteral("mod-rows-") + QString::fromUtf8(QTest::currentDataTag()));

    const auto rectOf = [&](VezModItemWidget *row, const char *name) {
        auto *widget = row->findChild<QWidget *>(QString::fromUtf8(name));
        return QRect(widget->mapTo(&*m_window, QPoint(0, 0)), widget->size());
    };
    QCOMPARE(shot.pixelColor(5, 5), QColor(39, 39, 39));
    QVERIFY(shareOfHue(shot, rectOf(rowOf("alpha_id"), "openButton"), kOrange, 4) > 0.6);
    QVERIFY(hasPixelNear(shot, rectOf(rowOf("alpha_id"), "stateLabel"), kOrange, 12));
    QVERIFY(hasPixelNear(shot, rectOf(rowOf("bravo_id"), "stateLabel"), kGrey, 12));
    QVERIFY(!hasPixelNear(shot, rectOf(rowOf("bravo_id"), "stateLabel"), kOrange, 40));
}

QTEST_MAIN(VezModListTest)
#include "VezModListTest.moc"
