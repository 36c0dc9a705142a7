// Must not compile: the device link knows no parameter values.
#include "ParameterSet.h"
