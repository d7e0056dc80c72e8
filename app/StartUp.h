#pragma once

#include <QStringList>

class QTranslator;

// The system's preferred interface languages, best first, as tags with "-".
QStringList preferredUiLanguages();

// Offers each language in turn to the translator as ":/i18n/tessel3_<name>"
// and installs it on the application at the first that loads. True when one
// was installed.
bool installTranslatorFor(QTranslator &translator, const QStringList &uiLanguages);
