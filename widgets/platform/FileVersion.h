#pragma once

#include <QString>

// The file version the program at `filePath` carries, or an empty string.
// Each platform has its own source file for it.
QString programFileVersion(const QString& filePath);
