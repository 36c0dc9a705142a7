#include <cerrno>

#include "FileErrors.h"

FileError systemFileErrorOf(const QString& systemText) {
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
    return FileError::Other;
}
