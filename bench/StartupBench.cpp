// Start-up to the first painted window: the program (translator lookup, the
// settings file, both windows, the directory window shown) against a bare
// QApplication with one empty QMainWindow, each a fresh process of this same
// binary, taken in turns with the order rotated every round so that all meet
// the same machine state. A third child, the bare window with one line of
// text, shows what drawing any text at all costs (font set-up, glyphs).
#include "bench/BenchStats.h"
#include "app/AppState.h"
#include "app/ProgramWindows.h"
#include "app/StartUp.h"
#include "tests/support/TempDir.h"
#include "ui/windows/MainWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 15;
constexpr char kBareMode[] = "--bare";
constexpr char kTextMode[] = "--bare-text";
constexpr char kProgramMode[] = "--program";

// Tells the parent once the window's first paint has gone through the event loop.
class FirstPaintReporter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !reported) {
            reported = true;
            QTimer::singleShot(0, [] {
                // Processor time since the process began, loading of libraries included.
                const double cpuMs = 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
                std::printf("shown %.3f\n", cpuMs);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool reported = false;
};

int runBare(int argc, char *argv[], bool withText)
{
    QApplication application(argc, argv);
    QMainWindow window;
    if (withText) {
        auto *line =
            new QLabel(QStringLiteral("Select the directory where the game stores mods."), &window);
        line->setGeometry(40, 20, 591, 16);
    }
    FirstPaintReporter reporter;
    window.installEventFilter(&reporter);
    window.show();
    return QApplication::exec();
}

// The program's own start-up, step for step.
int runProgram(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QTranslator translator;
    installTranslatorFor(translator, preferredUiLanguages());
    loadLanguageSetting();
    FirstPaintReporter reporter;
    ProgramWindows windows;
    directoryWindow->installEventFilter(&reporter);
    return QApplication::exec();
}

struct ChildTimes
{
    double wallMs = -1; // from starting the child to its "shown" line
    double cpuMs = -1;  // the child's own processor time until then
};

ChildTimes timeChild(const QString &self, const char *mode, const fs::path &workingDirectory)
{
    QProcess child;
    child.setWorkingDirectory(QString::fromStdString(workingDirectory.string()));
    child.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    child.start(self, {QString::fromLatin1(mode)});
    while (!child.canReadLine()) {
        if (!child.waitForReadyRead(30000))
            return {};
    }
    const double wallMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const QList<QByteArray> words = child.readLine().trimmed().split(' ');
    child.waitForFinished(30000);
    if (words.size() != 2 || words[0] != "shown")
        return {};
    return {wallMs, words[1].toDouble()};
}

double minimum(const std::vector<double> &values)
{
    return *std::min_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], kBareMode) == 0)
        return runBare(argc, argv, false);
    if (argc == 2 && std::strcmp(argv[1], kTextMode) == 0)
        return runBare(argc, argv, true);
    if (argc == 2 && std::strcmp(argv[1], kProgramMode) == 0)
        return runProgram(argc, argv);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication application(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();

    // A working directory like a user's: settings, background image, an empty mods folder.
    TempDir folder;
    fs::create_directories(folder / "mods" / "aircraft");
    fs::create_directories(folder / "mods" / "tech");
    writeFile(folder / "data" / "root.lua", "local Language = \"EN\"\r\nlocal DIRECTORY = \"" +
                                                (folder / "mods").string() + "\"\r\n");
    fs::copy_file(fs::path(TESSEL3_SOURCE_DIR) / "data" / "background.png",
                  folder / "data" / "background.png");

    // One untimed round warms the file cache for all.
    const char *const modes[] = {kBareMode, kProgramMode, kTextMode};
    constexpr int kModes = 3;
    for (const char *mode : modes)
        timeChild(self, mode, folder.path());
    std::vector<double> wall[kModes], cpu[kModes];
    for (int round = 0; round < kRounds; ++round) {
        for (int turn = 0; turn < kModes; ++turn) {
            const int mode = (round + turn) % kModes;
            const ChildTimes times = timeChild(self, modes[mode], folder.path());
            if (times.wallMs < 0) {
                std::fprintf(stderr, "bench_startup: a child did not show its window\n");
                return 1;
            }
            wall[mode].push_back(times.wallMs);
            cpu[mode].push_back(times.cpuMs);
        }
    }
    const char *const labels[] = {"bare QApplication + empty QMainWindow",
                                  "tessel3 start-up, directory window",
                                  "bare window + one line of text (ref.)"};
    std::printf("platform %s, %d rounds, process start to first painted window, median "
                "(min):\n",
                qgetenv("QT_QPA_PLATFORM").constData(), kRounds);
    std::printf("                                         wall              processor\n");
    for (int mode = 0; mode < kModes; ++mode)
        std::printf("  %-37s  %6.1f (%6.1f) ms  %6.1f (%6.1f) ms\n", labels[mode],
                    median(wall[mode]), minimum(wall[mode]), median(cpu[mode]), minimum(cpu[mode]));
    std::printf("  ratio of medians: wall %.2fx, processor %.2fx (target at most 1.20x)\n",
                median(wall[1]) / median(wall[0]), median(cpu[1]) / median(cpu[0]));
    std::printf("  one line of text alone:    wall %.2fx, processor %.2fx\n",
                median(wall[2]) / median(wall[0]), median(cpu[2]) / median(cpu[0]));
    return 0;
}
