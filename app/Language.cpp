#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
const quint16 kEnglishUS = 0x0409;
const quint16 kChinesePRC = 0x0804;
}  // namespace

int windowMinimumWidth(Language language) {
    return language == Language::English ? 600 : 556;
}

Language startupLanguage(int storedId, quint16 systemLangId) {
    switch (storedId) {
        case ChineseLanguageId:
            return Language::Chinese;
        case EnglishLanguageId:
            return Language::English;
        case SystemLanguageId:
            if (systemLangId == kEnglishUS) return Language::English;
            if (systemLangId == kChinesePRC) return Language::Chinese;
            return Language::None;
        default:
            return Language::None;
    }
}

Language startupLanguageForLocale(std::optional<int> storedId, const QLocale& locale) {
    if (storedId && *storedId != SystemLanguageId) return startupLanguage(*storedId, 0);
    return locale.language() == QLocale::Chinese ? Language::Chinese : Language::English;
}

bool loadQtChineseCatalogue(QTranslator& translator) {
    const QString name = QStringLiteral("qtbase_zh_CN");
    return translator.load(name, QCoreApplication::applicationDirPath() + QStringLiteral("/translations")) ||
           translator.load(name, QLibraryInfo::location(QLibraryInfo::TranslationsPath));
}
