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
    // What Qt says itself of a folder opened as a file, and of a folder a file
    // is to be saved as, in the words of Qt's own catalogue. The contexts are
    // no literals, so that lupdate leaves these texts out of the program's.
    const char* const ioDevice = "QIODevice";
    const char* const saveFile = "QSaveFile";
    if (systemText == QCoreApplication::translate(ioDevice, "file to open is a directory") ||
        systemText == QCoreApplication::translate(saveFile, "Filename refers to a directory"))
        return FileError::IsDirectory;
    return FileError::Other;
}
