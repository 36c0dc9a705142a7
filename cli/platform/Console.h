#pragma once

#include <QStringList>

// The command line's dealings with the console it runs in. Each platform has
// its own source file for them.

// Whether the process's standard error goes to a terminal, where a progress
// line that rewrites itself can be read; not when it goes to a file or pipe.
bool standardErrorIsTerminal();

// The program's arguments as the user typed them, whatever characters they
// hold (a file name outside the system's 8-bit code page on Windows).
QStringList programArguments(int argc, char* argv[]);

// While it lives, a console shows the program's UTF-8 output as the text it
// is; a Windows console would otherwise read it in its own code page. The
// console's setting is put back when it goes.
class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    [[maybe_unused]] unsigned m_previousCodePage = 0;  // Windows only
};
