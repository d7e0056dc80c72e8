// Organising a large library: a click on a heading over 5,000 rows, from the
// click to the repainted list, and opening a row's menu, from the right click
// to the painted menu (target for both: 16 ms, one frame, median). On the
// offscreen platform, with the real panel, in a temporary working directory
// (the click saves the list order under data/).
#include "bench/BenchStats.h"
#include "library/catalogue/ModRecord.h"
#include "tests/support/TempDir.h"
#include "ui/modlist/VezModList.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/windows/DraggableWidget.h"
#include "ui/windows/MainPanel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<ModRecord> makeRecords(int count)
{
    std::vector<ModRecord> records(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) {
        ModRecord &record = records[static_cast<size_t>(index)];
        const std::string number = std::to_string((index * 7919) % count);
        record.entryPath = "/mods/aircraft/mod" + number + "/entry.lua";
        record.self_ID = "mod_" + number;
        record.displayName = (index % 3 == 0   ? "Самолёт "
                              : index % 3 == 1 ? "飞机 "
                                               : "Mod number ") +
                             number;
        record.developerName = "Developer " + std::to_string(index % 13);
        record.version = std::to_string(index % 4) + "." + std::to_string(index % 17) +
                         (index % 5 == 0 ? "-beta" : "");
        record.installState = index % 3 != 0;
    }
    return records;
}

// Counts paint events: of one widget, or of every menu.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool menusOnly = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && (!menusOnly || qobject_cast<QMenu *>(watched)))
            ++paints;
        return false;
    }
};

double runUntilPainted(PaintCounter &counter, int paintsBefore, QElapsedTimer &timer)
{
    for (int pass = 0; pass < 100 && counter.paints == paintsBefore; ++pass)
        QApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ms;
}

double timeHeadingClick(DraggableWidget *strip, QLabel *heading, PaintCounter &counter)
{
    const QPoint at = strip->mapFrom(heading->parentWidget(), heading->geometry().center());
    const QPoint global = strip->mapToGlobal(at);
    QElapsedTimer timer;
    timer.start();
    const int paintsBefore = counter.paints;
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(strip, &press);
    QApplication::sendEvent(strip, &release);
    return runUntilPainted(counter, paintsBefore, timer);
}

double timeRowMenu(VezModList *list, int row, PaintCounter &counter)
{
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QElapsedTimer timer;
    timer.start();
    const int paintsBefore = counter.paints;
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &event);
    const double ms = runUntilPainted(counter, paintsBefore, timer);
    for (QMenu *menu : list->window()->findChildren<QMenu *>(QStringLiteral("rowMenu")))
        menu->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ms;
}

void benchOrganising(int rows)
{
    std::vector<ModRecord> records = makeRecords(rows);
    MainPanel panel;
    panel.showRecords({records.begin(), records.end()});
    panel.show();
    for (int pass = 0; pass < 5; ++pass)
        QApplication::processEvents();
    auto *list = panel.findChild<VezModList *>(QStringLiteral("listWidget"));
    auto *strip = panel.findChild<DraggableWidget *>(QStringLiteral("dragStrip"));
    PaintCounter listPaints;
    list->viewport()->installEventFilter(&listPaints);

    std::vector<double> clicks;
    const char *headings[] = {"label_name",    "label_name",  "label_developer",
                              "label_version", "label_state", "label_selfID"};
    for (int round = 0; round < 5; ++round)
        for (const char *name : headings)
            clicks.push_back(
                timeHeadingClick(strip, panel.findChild<QLabel *>(QString::fromLatin1(name)), listPaints));
    list->viewport()->removeEventFilter(&listPaints);

    PaintCounter menuPaints;
    menuPaints.menusOnly = true;
    qApp->installEventFilter(&menuPaints);
    std::vector<double> menus;
    for (int round = 0; round < 30; ++round)
        menus.push_back(timeRowMenu(list, round % 8, menuPaints));
    qApp->removeEventFilter(&menuPaints);

    std::printf("heading click over %d rows, click to repainted list: median %.2f ms, max %.2f ms "
                "(%zu clicks)\n",
                rows, median(clicks), *std::max_element(clicks.begin(), clicks.end()),
                clicks.size());
    std::printf("row menu, right click to painted menu: median %.2f ms, max %.2f ms (%zu menus)\n",
                median(menus), *std::max_element(menus.begin(), menus.end()), menus.size());
    std::fflush(stdout);
    panel.showRecords({}); // the records go before the panel
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    currentLanguage = UiLanguage::English;
    // The panel paints its background image under the transparent list, as it does for the user.
    const TempDir dir;
    std::filesystem::create_directories(dir / "data");
    std::filesystem::copy_file(std::filesystem::path(TESSEL3_SOURCE_DIR) / "data" / "background.png",
                               dir / "data" / "background.png");
    const WorkingDirectoryScope workingDirectory(dir.path());
    benchOrganising(5000);
    return 0;
}
