#pragma once

#include <QString>

// Whether two paths name one file that exists: the same path written
// otherwise, through a symbolic link, or a hard link to it. Each platform
// has its own source file for it.
bool isSameFile(const QString& first, const QString& second);
