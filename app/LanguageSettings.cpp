#include "LanguageSettings.h"

#include <QCoreApplication>
#include <QSettings>

QString LanguageSettings::filePath() { return QCoreApplication::applicationDirPath() + "/Config.ini"; }

int LanguageSettings::languageId() {
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.beginGroup("Language");
    return settings.value("id").toInt();
}

void LanguageSettings::setLanguageId(int id) {
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.setValue("/Language/id", id);
}
