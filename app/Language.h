#pragma once

#include <QtGlobal>
#include <optional>

class QLocale;

// The interface languages the program has catalogues for.
enum class Language { None, Chinese, English };

// The ids the settings file stores for the choice of language. The file
// may hold any number; these are the ones with a meaning.
enum LanguageId : int { SystemLanguageId = -1, ChineseLanguageId = 0, EnglishLanguageId = 1 };

// The main window's narrowest width in a language, in pixels: what its
// texts need at the least.
int windowMinimumWidth(Language language);

// The language to start in on Windows, from the stored id (a missing key
// reads as Chinese's) and the system's default language identifier.
Language startupLanguage(int storedId, quint16 systemLangId);

// The language to start in where the system has a locale instead: Chinese
// and English as stored; with no choice stored (no key, or the system's id)
// Chinese for a Chinese locale and English for any other; any other id
// gives no catalogue.
Language startupLanguageForLocale(std::optional<int> storedId, const QLocale& locale);

class QTranslator;

// Loads Qt's own Chinese catalogue: from "translations" beside the program
// (the Windows zip), else from Qt's own folder (Debian's qttranslations).
// False when neither holds it; Qt's texts then stay English.
bool loadQtChineseCatalogue(QTranslator& translator);
