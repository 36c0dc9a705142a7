#include "Terminal.h"

#include <unistd.h>

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}
