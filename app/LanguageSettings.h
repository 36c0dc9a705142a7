#pragma once

#include <QString>

// The settings file "Config.ini": it holds only the interface language id.
class LanguageSettings {
public:
    // The settings file of the running program.
    static QString filePath();
    // "Config.ini" in appDir, or in the user's configuration directory when
    // appDir cannot be written (a system-wide installation), so the choice
    // is still remembered.
    static QString filePathFor(const QString& appDir);
    // The stored id; 0 (Chinese) when the file or key is missing.
    static int languageId();
    static void setLanguageId(int id);
};
