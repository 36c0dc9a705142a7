#pragma once

#include <QString>

// The settings file "Config.ini": it holds only the interface language id.
class LanguageSettings {
public:
    static QString filePath();
    // The stored id; 0 (Chinese) when the file or key is missing.
    static int languageId();
    static void setLanguageId(int id);
};
