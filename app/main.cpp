#include "app/AppState.h"
#include "app/ProgramWindows.h"
#include "app/StartUp.h"

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
