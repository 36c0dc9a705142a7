#include <QLocale>

#include "SystemLanguage.h"

Language systemStartupLanguage(std::optional<int> storedId) {
    // LC_ALL, LC_MESSAGES or LANG, as Qt reads them.
    return startupLanguageForLocale(storedId, QLocale::system());
}
