#include "ui/windows/WebAddresses.h"

#include <QString>

QUrl modLibraryPage(UiLanguage language)
{
    const char *path = kModLibraryPathEnglish;
    if (language == UiLanguage::Chinese)
        path = kModLibraryPathChinese;
    else if (language == UiLanguage::Russian)
        path = kModLibraryPathRussian;
    return QUrl(QString::fromLatin1(kModLibraryHost) + QString::fromLatin1(path));
}

QUrl authorPage()
{
    return QUrl(QString::fromLatin1(kAuthorPageAddress));
}
