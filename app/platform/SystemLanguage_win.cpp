#include "SystemLanguage.h"

#include <windows.h>

Language systemStartupLanguage(std::optional<int> storedId) {
    const int id = storedId.value_or(0);
    return startupLanguage(id, id == -1 ? GetSystemDefaultLangID() : quint16(0));
}
