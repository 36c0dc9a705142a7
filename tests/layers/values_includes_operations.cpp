// Must not compile: the rules know no device operation.
#include "DeviceRead.h"
