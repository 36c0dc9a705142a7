#include "Console.h"

#include <fcntl.h>
#include <unistd.h>

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void writeLastLine(const QByteArray& line) {
    const int last = dup(STDERR_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (last < 0 || nowhere < 0 || dup2(nowhere, STDERR_FILENO) < 0) {
        (void)!write(STDERR_FILENO, line.constData(), size_t(line.size()));
        return;
    }
    close(nowhere);
    (void)!write(last, line.constData(), size_t(line.size()));
}

QStringList programArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Terminals here take UTF-8 as it is.
Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;
