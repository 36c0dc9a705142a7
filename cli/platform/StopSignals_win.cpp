#include "StopSignals.h"

#include <windows.h>

namespace {

void (*g_handler)(int status, const char* name) = nullptr;

// The system calls this on a thread of its own for each console event.
BOOL WINAPI onConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
            g_handler(128 + 2, "Ctrl+C");  // as SIGINT
            return TRUE;
        case CTRL_BREAK_EVENT:
            g_handler(128 + 21, "Ctrl+Break");  // as SIGBREAK
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            g_handler(128 + 1, "CTRL_CLOSE_EVENT");  // as SIGHUP
            // Returning would end the process now; the handler ends it once
            // a write under way is done (the system allows a few seconds).
            Sleep(INFINITE);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void watchStopSignals(void (*handler)(int status, const char* name)) {
    g_handler = handler;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}
