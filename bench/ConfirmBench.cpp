// The whole Confirm for a mods folder of 2,000 mods: the load (scan and read
// every entry file), the rows, the hand-over and the first paint of the main
// panel, on the offscreen platform through the real windows.
#include "bench/BenchStats.h"
#include "app/AppState.h"
#include "app/ProgramWindows.h"
#include "bench/ModsFolderGenerator.h"
#include "tests/support/TempDir.h"
#include "ui/windows/MainPanel.h"
#include "ui/windows/MainWindow.h"
#include "ui/modlist/VezModList.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 7;

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    TempDir folder;
    const fs::path mods = folder / "mods";
    const ModsFolderGenerator::Summary summary =
        ModsFolderGenerator(ModsFolderGenerator::Options{}).generate(mods);
    writeFile(folder / "data" / "root.lua",
              "local Language = \"EN\"\r\nlocal DIRECTORY = \"" + mods.string() + "\"\r\n");
    fs::copy_file(fs::path(TESSEL3_SOURCE_DIR) / "data" / "background.png",
                  folder / "data" / "background.png");
    const WorkingDirectoryScope workingDirectory(folder.path());

    loadLanguageSetting();
    ProgramWindows windows;
    auto *confirm = directoryWindow->findChild<QPushButton *>(QStringLiteral("pushButton_Confirm"));
    auto *back = mainPanel->findChild<QAction *>(QStringLiteral("backToMainLink"));
    auto *list = mainPanel->findChild<VezModList *>(QStringLiteral("listWidget"));
    QApplication::processEvents();

    std::vector<double> handOver;
    std::vector<double> painted;
    int rows = 0;
    // The first round warms the file cache and is not counted.
    for (int round = 0; round <= kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        confirm->click();
        const double handOverMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        // Layout and paint of the panel happen on the next pass of the event loop.
        QApplication::processEvents();
        const double paintedMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        rows = list->count();
        if (!mainPanel->isVisible()) {
            std::fprintf(stderr, "bench_confirm: Confirm did not open the main panel\n");
            return 1;
        }
        if (round > 0) {
            handOver.push_back(handOverMs);
            painted.push_back(paintedMs);
        }
        back->trigger();
        QApplication::processEvents();
    }
    std::printf("Confirm on %zu mods (%zu aircraft, %zu tech, %zu disabled, %ju bytes of "
                "entry files) -> %d rows, %d rounds (median / min):\n",
                summary.aircraft + summary.tech, summary.aircraft, summary.tech, summary.disabled,
                summary.entryBytes, rows, kRounds);
    std::printf("  load + rows + show       %7.1f ms / %7.1f ms\n", median(handOver),
                *std::min_element(handOver.begin(), handOver.end()));
    std::printf("  ... + first paint        %7.1f ms / %7.1f ms\n", median(painted),
                *std::min_element(painted.begin(), painted.end()));
    return 0;
}
