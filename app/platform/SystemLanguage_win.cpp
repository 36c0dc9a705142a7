#include "SystemLanguage.h"

#include <windows.h>

Language systemStartupLanguage(std::optional<int> storedId) {
    const int id = storedId.value_or(ChineseLanguageId);
    return startupLanguage(id, id == SystemLanguageId ? GetSystemDefaultLangID() : quint16(0));
}
