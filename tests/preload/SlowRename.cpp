// Preloaded into the command line by its test: every rename() waits a
// second first, so that a save stands beside its target, as a temporary file,
// long enough for a signal to be sent to the program then.
#include <dlfcn.h>
#include <unistd.h>

extern "C" int rename(const char* from, const char* to) {
    using Rename = int (*)(const char*, const char*);
    static const auto next = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    sleep(1);
    return next(from, to);
}
