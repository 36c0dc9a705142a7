#pragma once

#include <QtGlobal>

// The interface languages the program has catalogues for.
enum class Language { None, Chinese, English };

// The language to start in, from the stored id (0 Chinese, 1 English, -1 the
// system's) and the system's default language identifier.
Language startupLanguage(int storedId, quint16 systemLangId);

class QTranslator;

// Loads Qt's own Chinese catalogue: from "translations" beside the program
// (the Windows zip), else from Qt's own folder (Debian's qttranslations).
// False when neither holds it; Qt's texts then stay English.
bool loadQtChineseCatalogue(QTranslator& translator);
