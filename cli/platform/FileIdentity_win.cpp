#include "FileIdentity.h"

#include <QDir>

#include <windows.h>

namespace {

// The volume and the file's index on it, which every name of the file shares.
bool identify(const QString& path, BY_HANDLE_FILE_INFORMATION* info) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    // No access asked for: the file is only identified, also while another
    // program holds it; folders need the backup flag to be opened at all.
    const HANDLE file = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(file, info) != 0;
    CloseHandle(file);
    return ok;
}

}  // namespace

bool isSameFile(const QString& first, const QString& second) {
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return identify(first, &a) && identify(second, &b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}
