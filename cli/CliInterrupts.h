#pragma once

#include <QString>

// What the command line does with a signal that asks it to stop (SIGINT,
// SIGTERM, SIGHUP; on Windows Ctrl+C, Ctrl+Break, the console closing).
// Without a write or a save under way it stops at once, saying so on
// standard error, with the signal's exit status (128 + its number): a read
// or a wait leaves no file behind. A write's frames and reset, and a save,
// are held to their end, since a repeater half written or a temporary file
// beside the target would be left; a second signal meanwhile is told that
// the program is finishing. Once the last of them has ended the program
// stops the same way, saying what was done; nothing new begins after a
// signal.
namespace CliInterrupts {

// The program's main(): the signals come here from now on. Before any other
// thread starts. Without it (the tests) nothing watches for them.
void install();

// While it lives, a signal waits for it.
class Hold {
public:
    enum Kind { Write, Save };
    explicit Hold(Kind kind);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

    // False when a signal came first: the write or save must not begin;
    // status() is the signal's exit status then.
    bool held() const { return m_status == 0; }
    int status() const { return m_status; }
    // A save that succeeded: the line that tells of a signal names the file.
    void saved(const QString& file) { m_file = file; }

private:
    const Kind m_kind;
    QString m_file;
    int m_status = 0;
};

}  // namespace CliInterrupts
