#include "StopSignals.h"

#include <csignal>
#include <initializer_list>
#include <thread>

#include <pthread.h>

namespace {

// The stop signals that were not ignored when the program started: one it
// ignores itself keeps that disposition, so the set comes out the same later.
sigset_t stopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (sigaction(number, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&signals, number);
    }
    return signals;
}

}  // namespace

void holdStopSignals() {
    // A reader that goes away (| head) must not end the program in the
    // middle of a write, frames sent and no reset: what is written then
    // fails as a full disk does, and says so.
    std::signal(SIGPIPE, SIG_IGN);
    // Blocked here, and so in every thread started from now on: they stay
    // pending until the watching thread takes them.
    const sigset_t signals = stopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void watchStopSignals(void (*handler)(int status, const char* name)) {
    const sigset_t signals = stopSignals();
    std::thread([signals, handler] {
        for (;;) {
            int number = 0;
            if (sigwait(&signals, &number) != 0) continue;
            handler(128 + number, number == SIGINT ? "SIGINT" : number == SIGTERM ? "SIGTERM" : "SIGHUP");
        }
    }).detach();
}
