#include "AppState.h"
#include "ProgramWindows.h"
#include "StartUp.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QTranslator translator;
    installTranslatorFor(translator, preferredUiLanguages());
    // Both windows apply the saved language as they are built.
    loadLanguageSetting();
    ProgramWindows windows;
    return QApplication::exec();
}
