#include "app/AppState.h"
#include "app/ProgramVersion.h"
#include "app/ProgramWindows.h"
#include "app/StartUp.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));
    // Lets the desktop match the window to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tessel3"));
    QTranslator translator;
    installTranslatorFor(translator, preferredUiLanguages());
    // Both windows apply the saved language as they are built.
    loadLanguageSetting();
    ProgramWindows windows;
    return QApplication::exec();
}
