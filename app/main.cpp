#include "app/AppState.h"
#include "app/ApplySetOption.h"
#include "app/ProgramVersion.h"
#include "app/ProgramWindows.h"
#include "app/StartUp.h"

#include <QApplication>
#include <QTranslator>

#include <iostream>
#include <string>
#include <vector>

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
    // A set applied from a script: all or nothing, before any window opens.
    std::vector<std::string> arguments;
    for (const QString &argument : QCoreApplication::arguments())
        arguments.push_back(argument.toStdString());
    if (const auto exitCode = runApplySetOption(arguments, std::cout, std::cerr))
        return *exitCode;
    ProgramWindows windows;
    return QApplication::exec();
}
