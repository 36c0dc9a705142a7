// Must not compile: the protocol knows no parameter values.
#include "ParameterSet.h"
