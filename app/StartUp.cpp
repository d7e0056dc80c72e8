#include "app/StartUp.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

QStringList preferredUiLanguages()
{
    return QLocale::system().uiLanguages();
}

bool installTranslatorFor(QTranslator &translator, const QStringList &uiLanguages)
{
    for (const QString &tag : uiLanguages) {
        const QString baseName = QStringLiteral("tessel3_") + QLocale(tag).name();
        if (translator.load(QStringLiteral(":/i18n/") + baseName)) {
            // Installed even when it reports the catalogue as empty.
            QCoreApplication::installTranslator(&translator);
            return true;
        }
    }
    return false;
}
