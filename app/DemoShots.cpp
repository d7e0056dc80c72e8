// Shows the demo the way a person would meet it, for machines without a
// display: start-up as in the program, a picture of the directory window,
// Confirm, a picture of the main panel, then the end.

#include "app/AppState.h"
#include "app/ProgramWindows.h"
#include "app/StartUp.h"
#include "ui/windows/MainPanel.h"
#include "ui/windows/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace {

// What the screen shows where the window is; the window's own rendering when
// the platform cannot read the screen back.
QPixmap shotOf(QWidget *window)
{
    if (QScreen *screen = window->screen()) {
        const QRect frame = window->frameGeometry();
        QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        if (!shot.isNull())
            return shot;
    }
    return window->grab();
}

bool save(QWidget *window, const QString &file)
{
    if (!shotOf(window).save(file)) {
        std::fprintf(stderr, "tessel3_demo_shots: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(file)));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessel3_demo_shots SCREENSHOT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "tessel3_demo_shots: cannot create %s\n", argv[1]);
        return 1;
    }

    QTranslator translator;
    installTranslatorFor(translator, preferredUiLanguages());
    loadLanguageSetting();
    ProgramWindows windows;

    // Each step waits long enough for the window to be mapped and painted.
    constexpr int settleMs = 700;
    int result = 0;
    QTimer::singleShot(settleMs, &application, [&] {
        if (!save(directoryWindow, folder.filePath(QStringLiteral("directory-window.png"))))
            result = 1;
        directoryWindow->findChild<QPushButton *>(QStringLiteral("pushButton_Confirm"))->click();
        QTimer::singleShot(settleMs, &application, [&] {
            if (!mainPanel->isVisible()) {
                std::fprintf(stderr, "tessel3_demo_shots: Confirm did not open the main panel\n");
                result = 1;
            } else if (!save(mainPanel, folder.filePath(QStringLiteral("main-panel.png")))) {
                result = 1;
            }
            QCoreApplication::exit(result);
        });
    });
    return QApplication::exec();
}
