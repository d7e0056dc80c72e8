// Time and memory of filling the mod list with 200, 2,000 and 5,000 rows, on
// the offscreen platform, with the list styled as the main panel styles it.
#include "library/catalogue/ModRecord.h"
#include "ui/modlist/VezModList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

// One pass of the event loop, including the deferred deletions that a nested
// processEvents leaves for later.
void runEventLoopOnce()
{
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A field of /proc/self/status in KiB; -1 where the system has none.
long statusKiB(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

std::vector<ModRecord> makeRecords(int count)
{
    std::vector<ModRecord> records(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) {
        ModRecord &record = records[static_cast<size_t>(index)];
        const std::string number = std::to_string(index);
        record.entryPath = "/mods/aircraft/mod" + number + "/entry.lua";
        record.self_ID = "mod_" + number;
        record.displayName = index % 7 == 0 ? std::string() : "Mod number " + number;
        record.shortName = "M" + number;
        record.developerName = "Developer " + std::to_string(index % 13);
        record.version = "1." + std::to_string(index % 10);
        record.installState = index % 3 != 0;
    }
    return records;
}

void fillOnce(VezModList &list, std::vector<ModRecord> &records)
{
    std::vector<std::reference_wrapper<ModRecord>> references(records.begin(), records.end());
    const long rssBefore = statusKiB("VmRSS");
    QElapsedTimer timer;
    timer.start();
    list.fillRows(references);
    const qint64 fillNs = timer.nsecsElapsed();
    // The list lays out and paints on the next pass of the event loop; that is
    // part of what the user waits for.
    runEventLoopOnce();
    const qint64 totalNs = timer.nsecsElapsed();
    const long rssAfter = statusKiB("VmRSS");
    const double rows = static_cast<double>(records.size());
    std::printf("%5zu rows: fillRows %7.1f ms, with first layout %7.1f ms, %6.1f us/row; "
                "RSS +%ld KiB (%.1f KiB/row), peak RSS %ld KiB\n",
                records.size(), fillNs / 1e6, totalNs / 1e6, totalNs / 1e3 / rows,
                rssAfter - rssBefore, (rssAfter - rssBefore) / rows, statusKiB("VmHWM"));
    std::fflush(stdout);
}

// Rows are built as they come into view; paging through the whole list builds
// every one of them, the most a user can make the list do.
void scrollThrough(VezModList &list)
{
    QScrollBar *bar = list.verticalScrollBar();
    const long rssBefore = statusKiB("VmRSS");
    QElapsedTimer timer;
    timer.start();
    for (int value = 0; value <= bar->maximum(); value += qMax(bar->pageStep(), 1)) {
        bar->setValue(value);
        runEventLoopOnce();
    }
    bar->setValue(bar->maximum());
    runEventLoopOnce();
    const qint64 ns = timer.nsecsElapsed();
    int built = 0;
    for (int index = 0; index < list.count(); ++index)
        built += list.itemWidget(list.item(index)) ? 1 : 0;
    std::printf("       paging through all: %7.1f ms, %6.1f us/row, %d rows built; "
                "RSS +%ld KiB, peak RSS %ld KiB\n",
                ns / 1e6, ns / 1e3 / list.count(), built, statusKiB("VmRSS") - rssBefore,
                statusKiB("VmHWM"));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    QMainWindow window;
    window.resize(800, 600);
    auto *list = new VezModList(&window);
    list->setObjectName(QStringLiteral("listWidget"));
    list->setGeometry(30, 40, 731, 511);
    list->setStyleSheet(QStringLiteral("background-color: rgba(255, 255, 255, 0);"));
    window.show();
    runEventLoopOnce();

    // Row counts may be given on the command line, for profiling one size.
    std::vector<int> counts{200, 2000, 5000};
    if (argc > 1) {
        counts.clear();
        for (int index = 1; index < argc; ++index)
            counts.push_back(std::atoi(argv[index]));
    }
    for (const int count : counts) {
        std::vector<ModRecord> records = makeRecords(count);
        fillOnce(*list, records);
        scrollThrough(*list);
        list->fillRows({});
        runEventLoopOnce();
    }
    return 0;
}
