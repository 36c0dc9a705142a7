#pragma once

// The signals that ask the program to stop: SIGINT, SIGTERM and SIGHUP; on
// Windows Ctrl+C, Ctrl+Break and the console closing. Each platform has its
// own source file for them.

// From now on each of them calls `handler`, on a thread of its own that no
// other work interrupts, with the exit status it stands for (128 + its
// number) and its name, instead of ending the program: the handler ends it
// when it is time. Called before any other thread starts, so that every
// thread leaves these signals to that one. A reader of the output that goes
// away ends nothing either: the write to it fails.
void watchStopSignals(void (*handler)(int status, const char* name));
