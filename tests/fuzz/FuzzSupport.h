#pragma once

#include <cstdio>
#include <cstdlib>

#include <QApplication>

// The pages are widgets and need an application; the fuzzers run headless.
inline void startFuzzApplication() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    // Qt gets its own arguments: libFuzzer's flags are not meant for it.
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// Drops what the last input left in the event queue, so that the queue
// does not grow over a long run.
inline void settleEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// A broken invariant is a crash for libFuzzer, which keeps the input.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)
