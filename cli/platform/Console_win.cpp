#include "Console.h"

#include <io.h>
#include <cstdio>

#include <windows.h>
// after windows.h, whose types it uses
#include <shellapi.h>

bool standardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

QStringList programArguments(int, char*[]) {
    // argv holds the arguments in the ANSI code page; the wide command line
    // holds them as typed.
    QStringList arguments;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return arguments;
    for (int i = 1; i < count; ++i) arguments << QString::fromWCharArray(wide[i]);
    LocalFree(wide);
    return arguments;
}

Utf8Console::Utf8Console() {
    const UINT current = GetConsoleOutputCP();  // 0 without a console
    if (current != 0 && current != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) m_previousCodePage = current;
}

Utf8Console::~Utf8Console() {
    if (m_previousCodePage != 0) SetConsoleOutputCP(m_previousCodePage);
}
