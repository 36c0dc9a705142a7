#include "AppendFile.h"

#include <QDir>

#include <windows.h>

bool appendWhole(const QString& path, const QByteArray& bytes, QString* why) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    // Append access alone: the system puts each write at the end of the file.
    const HANDLE file = CreateFileW(name.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *why = qt_error_string(int(GetLastError()));
        return false;
    }
    DWORD written = 0;
    const bool ok =
        bytes.isEmpty() || WriteFile(file, bytes.constData(), DWORD(bytes.size()), &written, nullptr) != 0;
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (ok && written == DWORD(bytes.size())) return true;
    *why = qt_error_string(ok ? int(ERROR_DISK_FULL) : int(error));
    return false;
}
