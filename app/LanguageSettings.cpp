#include "LanguageSettings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
// Permission bits do not tell (root ignores them, file systems may be
// mounted read-only), so try to create a file there.
bool canCreateFilesIn(const QString& dir) {
    QTemporaryFile probe(dir + "/.Config-XXXXXX");
    return probe.open();
}
}  // namespace

QString LanguageSettings::filePath() {
    return filePathFor(QCoreApplication::applicationDirPath());
}

QString LanguageSettings::filePathFor(const QString& appDir) {
    if (canCreateFilesIn(appDir)) return appDir + "/Config.ini";
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/Config.ini";
}

int LanguageSettings::languageId() {
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.beginGroup("Language");
    return settings.value("id").toInt();
}

void LanguageSettings::setLanguageId(int id) {
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.setValue("/Language/id", id);
}
