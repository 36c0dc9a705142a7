#pragma once

#include <QString>
#include <functional>

// What the command line does with a signal that asks it to stop (SIGINT,
// SIGTERM, SIGHUP; on Windows Ctrl+C, Ctrl+Break, the console closing).
// Without a write or a save under way it stops at once, saying so on
// standard error, with the signal's exit status (128 + its number): a read
// or a wait leaves no file behind. A write's frames and reset, and a save,
// are held to their end, since a repeater half written or a temporary file
// beside the target would be left; a second signal meanwhile is told that
// the program is finishing. Once the last of them has ended the program
// stops the same way, saying what was done; nothing new begins after a
// signal. While a Defer lives (--all) the program does not stop by itself:
// each repeater's work sees the signal, ends, and tells of it.
namespace CliInterrupts {

// The program's main(): from now on the signals wait for watch(). Before
// any other thread starts. Without it (the tests) nothing watches for them.
void install();
// Once the messages' language is set: from now on the signals are handled,
// also one that came meanwhile, whose message would otherwise not be in
// that language. Nothing without install().
void watch();

// While it lives, a signal waits for it.
class Hold {
public:
    // A Record (a line of the production record) is held also after a
    // signal: it tells what happened.
    enum Kind { Write, Save, Record };
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

// A signal that came and has not ended the program (under a Hold or a
// Defer): its exit status, 0 for none, and its name.
struct Stop {
    int status = 0;
    QString name;
};
Stop requested();

// While it lives, a signal ends nothing by itself: the one who made it
// finishes, telling of the signal, and returns its status.
class Defer {
public:
    Defer();
    ~Defer();
    Defer(const Defer&) = delete;
    Defer& operator=(const Defer&) = delete;
};

// While it lives, `lastWords` is called when a signal ends the program,
// after the line that says so (`line`), with the exit status: for a record
// of what was under way. It runs on the signal's thread with no write or
// save under way, and must not take a Hold.
class OnStop {
public:
    using LastWords = std::function<void(int status, const QString& line)>;
    explicit OnStop(LastWords lastWords);
    ~OnStop();
    OnStop(const OnStop&) = delete;
    OnStop& operator=(const OnStop&) = delete;
};

}  // namespace CliInterrupts
