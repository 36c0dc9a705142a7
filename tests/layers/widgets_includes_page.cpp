// Must not compile: the toolkit knows no page.
#include "ChannalWidget.h"
