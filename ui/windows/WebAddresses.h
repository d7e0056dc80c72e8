#pragma once

#include "settings/UiLanguage.h"

#include <QUrl>

// The two web pages the main panel opens. No real host is ours to name, so
// both live on reserved example hosts.

// Host of the game's mod library; the page path depends on the language.
inline constexpr char kModLibraryHost[] = "https://mods.example.org";
inline constexpr char kModLibraryPathEnglish[] = "/en/files/filter/type-is-mod/apply/";
inline constexpr char kModLibraryPathChinese[] = "/cn/files/filter/type-is-mod/apply/";
inline constexpr char kModLibraryPathRussian[] = "/ru/files/filter/type-is-mod/apply/";

// The author's page, the same in every language.
inline constexpr char kAuthorPageAddress[] = "https://example.org/author/";

// The mod-library page for the language; English for a value outside the three.
QUrl modLibraryPage(UiLanguage language);
QUrl authorPage();
