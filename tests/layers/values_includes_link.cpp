// Must not compile: the values build frames and read replies without the link.
#include "HIDDevice.h"
