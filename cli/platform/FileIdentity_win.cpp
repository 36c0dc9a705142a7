#include "FileIdentity.h"

#include <QDir>

#include <io.h>

#include <windows.h>

namespace {

bool sameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

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
    return identify(first, &a) && identify(second, &b) && sameIdentity(a, b);
}

bool isSameFile(int descriptor, const QString& path) {
    const auto opened = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    // A pipe or a console gives no file's identity.
    return opened != INVALID_HANDLE_VALUE && GetFileInformationByHandle(opened, &a) != 0 &&
           identify(path, &b) && sameIdentity(a, b);
}
