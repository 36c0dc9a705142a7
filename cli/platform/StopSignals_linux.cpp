#include "StopSignals.h"

#include <csignal>
#include <thread>

#include <pthread.h>

void watchStopSignals(void (*handler)(int status, const char* name)) {
    // A reader that goes away (| head) must not end the program in the
    // middle of a write, frames sent and no reset: what is written then
    // fails as a full disk does, and says so.
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    // Blocked here, and so in every thread started from now on: they stay
    // pending until the watching thread takes them.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals, handler] {
        for (;;) {
            int number = 0;
            if (sigwait(&signals, &number) != 0) continue;
            handler(128 + number, number == SIGINT ? "SIGINT" : number == SIGTERM ? "SIGTERM" : "SIGHUP");
        }
    }).detach();
}
