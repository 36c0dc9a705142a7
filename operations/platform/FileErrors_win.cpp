#include <QCoreApplication>

#include <windows.h>

#include "FileErrors.h"

FileError fileErrorOf(const QString& systemText) {
    // Qt words the GetLastError() code of a failed call with qt_error_string().
    const struct {
        DWORD code;
        FileError error;
    } known[] = {
        {ERROR_ACCESS_DENIED, FileError::PermissionDenied},
        {ERROR_WRITE_PROTECT, FileError::ReadOnly},
        {ERROR_DISK_FULL, FileError::NoSpace},
        {ERROR_HANDLE_DISK_FULL, FileError::NoSpace},
        {ERROR_FILE_NOT_FOUND, FileError::NotFound},
        {ERROR_PATH_NOT_FOUND, FileError::NotFound},
        {ERROR_DIRECTORY, FileError::IsDirectory},
    };
    for (const auto& entry : known)
        if (systemText == qt_error_string(int(entry.code))) return entry.error;
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
