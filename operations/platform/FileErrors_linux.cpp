#include <QCoreApplication>

#include <cerrno>

#include "FileErrors.h"

FileError fileErrorOf(const QString& systemText) {
    // Qt words the errno of a failed call with qt_error_string().
    const struct {
        int code;
        FileError error;
    } known[] = {
        {EACCES, FileError::PermissionDenied}, {EPERM, FileError::PermissionDenied},
        {EROFS, FileError::ReadOnly},          {ENOSPC, FileError::NoSpace},
        {EDQUOT, FileError::NoSpace},          {ENOENT, FileError::NotFound},
        {ENOTDIR, FileError::NotFound},        {EISDIR, FileError::IsDirectory},
    };
    for (const auto& entry : known)
        if (systemText == qt_error_string(entry.code)) return entry.error;
    // What Qt says itself of a folder opened as a file.
    if (systemText == QCoreApplication::translate("QIODevice", "file to open is a directory"))
        return FileError::IsDirectory;
    // ... and of a folder a file is to be saved as.
    if (systemText == QCoreApplication::translate("QSaveFile", "Filename refers to a directory"))
        return FileError::IsDirectory;
    return FileError::Other;
}
