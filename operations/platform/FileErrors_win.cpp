#include <windows.h>

#include "FileErrors.h"

FileError systemFileErrorOf(const QString& systemText) {
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
    return FileError::Other;
}
