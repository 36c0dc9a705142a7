#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>
#include <QTranslator>
#include <QVector>
#include <memory>
#include <string>
#include <vector>

#include "ProgressLine.h"
#include "ProtocolTrace.h"
#include "TarvaneCli.h"

class HIDDevice;
struct DeviceIdentity;
struct FoundRepeater;

// What every command works with: the streams, the messages in the chosen
// language, the trace, and the repeater a command is meant for. Results go
// to standard output, everything else to standard error.
class CliSession {
public:
    explicit CliSession(const CliStreams& streams);
    // A session for one of the threads of --all: its own streams, the
    // parent's clock, and a trace of its own when the parent traces. The
    // language stays the parent's to set.
    CliSession(const CliStreams& streams, const CliSession& parent);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // The window's catalogues: English unless Chinese ("zh") is asked for.
    void setLanguage(const QString& language);
    // --trace: from now on every device opened, every report sent and every
    // reply received, on standard error.
    void startTrace();
    // nullptr without --trace.
    DeviceTrace* trace() const { return m_trace.get(); }
    // Milliseconds since the start.
    qint64 elapsed() const { return m_clock.elapsed(); }

    // Standard input, nullptr when there is none.
    QIODevice* in() const { return m_in; }
    QTextStream& out() { return m_out; }
    // What out() writes to, for bytes that go out as they are; out() is
    // flushed first.
    QIODevice& outDevice();
    // What message() writes to, for the threads of --all, which write whole
    // lines of their own; the messages so far are flushed first.
    QIODevice& errDevice();
    // Flushes the results; false, after saying why, when they did not reach
    // standard output (a full disk).
    bool outputDone();

    // One message line on standard error.
    void message(const QString& text);
    // A note ("Note: ..."): something the command goes on with, that a
    // script may want to know; with --strict a reason to stop.
    void note(const QString& text);
    // --strict: the notes so far are errors. Done, or after saying so, the
    // usage error's status; nothing may be sent then.
    void setStrict(bool strict) { m_strict = strict; }
    int refuseNotes();
    // The last of them, which a result line of --all repeats.
    const QString& lastMessage() const { return m_lastMessage; }
    // How far a Read or Write got, while the line lives; not beside a trace,
    // whose lines it would break.
    ProgressLine progressLine() { return ProgressLine(m_err, m_progress && !m_trace); }

    // The paths of the connected repeaters. With --trace a line says what was
    // looked for and what was found, whenever that differs from the last time.
    std::vector<std::string> listRepeaters();

    // Opens the repeater a command is meant for: `wanted` is a path or a card
    // number, empty for the only one connected. Done, or the exit status of
    // the message it showed (never a guess among several); `path` is set for
    // one that was chosen, also when it did not answer.
    int openDevice(const QString& wanted, HIDDevice& device, DeviceIdentity* identity,
                   std::string* path = nullptr);
    // Opens the repeater at `path` on `device` and asks who it is.
    FoundRepeater open(const std::string& path, HIDDevice& device);
    // A repeater as list shows it: its path, then who it is or what failed,
    // separated by tabs.
    QString repeaterLine(const FoundRepeater& repeater) const;
    // A field of a line whose fields are separated by tabs: a backslash, a
    // tab, a line end or another control character in it (a card number is
    // the device's to give) written as in C, "\t", so that each line stays
    // one line of the same fields.
    static QString field(const QString& text);
    QString repeaterError(const FoundRepeater& repeater) const;

private:
    void showCandidates(const QVector<FoundRepeater>& candidates);

    QIODevice* const m_in;
    QIODevice& m_outDevice;
    QIODevice& m_errDevice;
    QTextStream m_out;
    QTextStream m_err;
    const bool m_progress;
    QTranslator m_translator;
    bool m_translatorInstalled = false;
    QElapsedTimer m_clock;  // since the start, for --trace and write --verify
    std::unique_ptr<ProtocolTrace> m_trace;
    QString m_lastMessage;
    bool m_strict = false;
    int m_notes = 0;
    QString m_lastListed;  // what the trace said was found last
};
