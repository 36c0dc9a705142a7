#include "FileVersion.h"

#include <QDir>
#include <string>
#include <vector>

#include <windows.h>

#include "FileVersionQuery.h"

namespace {
struct LangAndCodePage {
    WORD language;
    WORD codePage;
};
}  // namespace

QString programFileVersion(const QString& filePath) {
    const std::wstring path = QDir::toNativeSeparators(filePath).toStdWString();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return QString();

    std::vector<BYTE> block(size + 1);
    if (!GetFileVersionInfoW(path.c_str(), 0, size + 1, block.data())) return QString();

    LPVOID found = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &found, &length) ||
        length < sizeof(LangAndCodePage))
        return QString();
    const auto* translation = static_cast<const LangAndCodePage*>(found);

    const std::wstring query =
        fileVersionQueryPath(translation->language, translation->codePage).toStdWString();
    found = nullptr;
    length = 0;
    if (!VerQueryValueW(block.data(), query.c_str(), &found, &length) || !found) return QString();

    // The length counts characters and may include the terminating null.
    const auto* text = static_cast<const wchar_t*>(found);
    UINT characters = 0;
    while (characters < length && text[characters] != L'\0') ++characters;
    return QString::fromWCharArray(text, int(characters));
}
