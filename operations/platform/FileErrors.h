#pragma once

#include <QString>

// The common reasons a file operation fails, told apart from the system's
// own error text, whose wording and language are the system's; a message
// can then give them in the program's language. Each platform has its own
// source file, with its own error codes.
enum class FileError { Other, PermissionDenied, ReadOnly, NoSpace, NotFound, IsDirectory };

// `systemText` is what Qt's file classes report (QFileDevice::errorString()).
FileError fileErrorOf(const QString& systemText);

// The reasons the platform's error codes give, worded by Qt: each platform's
// own source file; Other when none of its codes reads so.
FileError systemFileErrorOf(const QString& systemText);
