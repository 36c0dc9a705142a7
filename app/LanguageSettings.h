#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The settings file "Config.ini": it holds only the interface language id
// (LanguageId), under "Language/id".
class LanguageSettings {
public:
    // Where the id is read from, in this order (the first file that holds it
    // decides), and where a change is written.
    struct Location {
        QStringList readPaths;
        QString writePath;
    };

    // "Config.ini" beside the program (in appDir) whenever it can be written
    // there (its folder takes the new file it is stored through); the one in
    // userDir only when it cannot. Where the file beside the program exists
    // but cannot be written, a change goes to the one in userDir, which is
    // then read first.
    static Location locationFor(const QString& appDir, const QString& userDir);
    // The location of the running program, with the user's configuration
    // directory as userDir.
    static Location location();
    // The file a language change of the running program goes to.
    static QString filePath();

    // The stored id; none when no file holds it.
    static std::optional<int> languageId(const Location& location = LanguageSettings::location());
    // False when the file could not be written.
    static bool setLanguageId(int id, const Location& location = LanguageSettings::location());
};
