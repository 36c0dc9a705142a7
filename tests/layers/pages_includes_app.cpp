// Must not compile: a page knows no main window.
#include "Tarvane.h"
