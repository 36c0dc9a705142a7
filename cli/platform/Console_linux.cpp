#include "Console.h"

#include <unistd.h>

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

QStringList programArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Terminals here take UTF-8 as it is.
Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;
