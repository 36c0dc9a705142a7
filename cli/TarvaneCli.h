#pragma once

#include <QCoreApplication>
#include <QStringList>

class QIODevice;

// Where the command line writes: results to `out`, messages to `err`.
struct CliStreams {
    QIODevice& out;
    QIODevice& err;
    bool progress;            // err is a terminal: show how far a Read or Write got
    QIODevice* in = nullptr;  // what "write -" and "diff -" read; none: nothing to read
};

// The exit status of each outcome of a command.
namespace CliExit {
enum Status {
    Done = 0,  // diff: no difference
    Differences = 1,
    UsageOrFileError = 2,
    NoSuchDevice = 3,       // or more than one without --device
    DeviceFailed = 4,       // refused or did not answer
    WrittenButDiffers = 5,  // write --verify: the device holds something else
};
}  // namespace CliExit

// The command-line companion of the main window: list, read, write and diff
// one repeater at a time, through the same values, rules, operations and
// files as the window, with the window's messages. Each command has a file of
// its own (CliList.cpp ...) over a CliSession; this is the translation
// context of every command-line text.
class TarvaneCli {
    Q_DECLARE_TR_FUNCTIONS(TarvaneCli)
public:
    TarvaneCli() = delete;
};

// The main window's messages that the command line shows in the same words:
// in the window's own context, so that one catalogue entry serves both.
class WindowTexts {
    Q_DECLARE_TR_FUNCTIONS(Tarvane)
};

// Runs one command line (the program's arguments, without its name) and
// returns the exit status.
int runCli(const QStringList& arguments, const CliStreams& streams);
