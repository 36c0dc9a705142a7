// Must not compile: the toolkit knows no parameter value.
#include "ParameterSet.h"
