#pragma once

// The signals that ask the program to stop: SIGINT, SIGTERM and SIGHUP; on
// Windows Ctrl+C, Ctrl+Break and the console closing. Each platform has its
// own source file for them.

// From now on those signals wait instead of ending the program, until
// watchStopSignals() takes them. Called first, before any other thread
// starts, so that every thread leaves them to the one that watches. A signal
// the program was started with ignored (nohup, trap '' INT) stays ignored,
// as the shells have it. A reader of the output that goes away ends nothing
// either: the write to it fails.
void holdStopSignals();

// From now on each of them, also one that came since holdStopSignals(),
// calls `handler`, on a thread of its own that no other work interrupts,
// with the exit status it stands for (128 + its number) and its name: the
// handler ends the program when it is time.
void watchStopSignals(void (*handler)(int status, const char* name));
