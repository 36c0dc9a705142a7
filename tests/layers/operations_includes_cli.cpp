// Must not compile: the operations know no command line.
#include "CliSession.h"
