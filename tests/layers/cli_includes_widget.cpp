// Must not compile: the command line links no widget library.
#include <QWidget>
