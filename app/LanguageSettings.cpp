#include "LanguageSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
const QString kFileName = QStringLiteral("/Config.ini");
const QString kKey = QStringLiteral("Language/id");

// Permission bits do not tell (root ignores them, file systems may be
// mounted read-only, Windows has access lists), so try it: create a file
// there, or open the existing one for appending, which changes nothing.
bool canCreateFilesIn(const QString& dir) {
    QTemporaryFile probe(dir + "/.Config-XXXXXX");
    return probe.open();
}

bool canWrite(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}
}  // namespace

LanguageSettings::Location LanguageSettings::locationFor(const QString& appDir, const QString& userDir) {
    const QString beside = appDir + kFileName;
    const QString perUser = userDir + kFileName;
    if (QFileInfo(beside).isFile()) {
        // The settings are stored through a new file beside the old one.
        if (canWrite(beside) && canCreateFilesIn(appDir)) return {{beside}, beside};
        return {{perUser, beside}, perUser};
    }
    if (canCreateFilesIn(appDir)) return {{beside}, beside};
    return {{perUser}, perUser};
}

LanguageSettings::Location LanguageSettings::location() {
    return locationFor(QCoreApplication::applicationDirPath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

QString LanguageSettings::filePath() {
    return location().writePath;
}

std::optional<int> LanguageSettings::languageId(const Location& location) {
    for (const QString& path : location.readPaths) {
        const QSettings settings(path, QSettings::IniFormat);
        if (settings.contains(kKey)) return settings.value(kKey).toInt();
    }
    return std::nullopt;
}

bool LanguageSettings::setLanguageId(int id, const Location& location) {
    QSettings settings(location.writePath, QSettings::IniFormat);
    settings.setValue(kKey, id);
    // What the object still holds is no proof that the file holds it.
    settings.sync();
    return settings.status() == QSettings::NoError;
}
