#pragma once

#include <QString>

// Whether two paths name one file that exists: the same path written
// otherwise, through a symbolic link, or a hard link to it. Each platform
// has its own source file for it.
bool isSameFile(const QString& first, const QString& second);
// The same for the file open on a C runtime descriptor (standard input, 0)
// and a path.
bool isSameFile(int descriptor, const QString& path);
