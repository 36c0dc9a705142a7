#pragma once

#include <QtGlobal>
#include <optional>

class QLocale;

// The interface languages the program has catalogues for.
enum class Language { None, Chinese, English };

// The language to start in on Windows, from the stored id (0 Chinese, 1
// English, -1 the system's; a missing key reads as 0) and the system's
// default language identifier.
Language startupLanguage(int storedId, quint16 systemLangId);

// The language to start in where the system has a locale instead: 0 and 1
// as stored; with no choice stored (no key, or -1) Chinese for a Chinese
// locale and English for any other; any other id gives no catalogue.
Language startupLanguageForLocale(std::optional<int> storedId, const QLocale& locale);

class QTranslator;

// Loads Qt's own Chinese catalogue: from "translations" beside the program
// (the Windows zip), else from Qt's own folder (Debian's qttranslations).
// False when neither holds it; Qt's texts then stay English.
bool loadQtChineseCatalogue(QTranslator& translator);
