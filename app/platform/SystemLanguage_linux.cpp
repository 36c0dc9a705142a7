#include <QLocale>

#include "SystemLanguage.h"

quint16 systemDefaultLangId() {
    return langIdForLocale(QLocale::system());
}
