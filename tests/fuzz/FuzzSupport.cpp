#include "FuzzSupport.h"

// Every target starts the same headless application once.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzApplication();
    return 0;
}
