// Must not compile: the rules know no page.
#include "ChannalWidget.h"
