// Must not compile: the window and the command line are peers.
#include "CliSession.h"
