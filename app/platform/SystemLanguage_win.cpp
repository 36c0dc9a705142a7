#include "SystemLanguage.h"

#include <windows.h>

quint16 systemDefaultLangId() {
    return GetSystemDefaultLangID();
}
