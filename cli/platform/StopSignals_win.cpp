#include "StopSignals.h"

#include <windows.h>

namespace {

void (*g_handler)(int status, const char* name) = nullptr;
HANDLE g_watching = nullptr;  // set once the handler is there

// The system calls this on a thread of its own for each console event. It
// does not call it for Ctrl+C when the program was started with Ctrl+C
// ignored (SetConsoleCtrlHandler(NULL, TRUE), which children inherit).
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT &&
        event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT)
        return FALSE;
    // An event that comes early waits for the handler, as a blocked signal does.
    WaitForSingleObject(g_watching, INFINITE);
    if (!g_handler) return FALSE;  // no event to wait on: as without the program's handling
    switch (event) {
        case CTRL_C_EVENT:
            g_handler(128 + 2, "Ctrl+C");  // as SIGINT
            return TRUE;
        case CTRL_BREAK_EVENT:
            g_handler(128 + 21, "Ctrl+Break");  // as SIGBREAK
            return TRUE;
        default:
            g_handler(128 + 1, "CTRL_CLOSE_EVENT");  // as SIGHUP
            // Returning would end the process now; the handler ends it once
            // a write under way is done (the system allows a few seconds).
            Sleep(INFINITE);
            return TRUE;
    }
}

}  // namespace

void holdStopSignals() {
    g_watching = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void watchStopSignals(void (*handler)(int status, const char* name)) {
    g_handler = handler;
    SetEvent(g_watching);
}
