// Must not compile: the protocol knows no HID access.
#include "HIDDevice.h"
