#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/SystemLanguage.h"

namespace {
const quint16 kEnglishUS = 0x0409;
const quint16 kChinesePRC = 0x0804;
}  // namespace

Language startupLanguage(int storedId, quint16 systemLangId) {
    switch (storedId) {
        case 0:
            return Language::Chinese;
        case 1:
            return Language::English;
        case -1:
            if (systemLangId == kEnglishUS) return Language::English;
            if (systemLangId == kChinesePRC) return Language::Chinese;
            return Language::None;
        default:
            return Language::None;
    }
}

quint16 langIdForLocale(const QLocale& locale) {
    if (locale.language() == QLocale::English && locale.country() == QLocale::UnitedStates) return kEnglishUS;
    if (locale.language() == QLocale::Chinese && locale.country() == QLocale::China) return kChinesePRC;
    return 0;
}

bool loadQtChineseCatalogue(QTranslator& translator) {
    const QString name = QStringLiteral("qtbase_zh_CN");
    return translator.load(name, QCoreApplication::applicationDirPath() + QStringLiteral("/translations")) ||
           translator.load(name, QLibraryInfo::location(QLibraryInfo::TranslationsPath));
}
