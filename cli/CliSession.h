#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>
#include <QTranslator>
#include <QVector>
#include <memory>
#include <string>

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
    // Flushes the results; false, after saying why, when they did not reach
    // standard output (a full disk).
    bool outputDone();

    // One message line on standard error.
    void message(const QString& text);
    // A message of the main window, in its translation context.
    void windowMessage(const char* text);
    // How far a Read or Write got, while the line lives.
    ProgressLine progressLine() { return ProgressLine(m_err, m_progress); }

    // Opens the repeater a command is meant for: `wanted` is a path or a card
    // number, empty for the only one connected. Done, or the exit status of
    // the message it showed (never a guess among several).
    int openDevice(const QString& wanted, HIDDevice& device, DeviceIdentity* identity);
    // Opens the repeater at `path` on `device` and asks who it is.
    FoundRepeater open(const std::string& path, HIDDevice& device);
    // A repeater as list shows it: its path, then who it is or what failed,
    // separated by tabs.
    QString repeaterLine(const FoundRepeater& repeater) const;
    QString repeaterError(const FoundRepeater& repeater) const;

private:
    void showCandidates(const QVector<FoundRepeater>& candidates);

    QIODevice* const m_in;
    QIODevice& m_outDevice;
    QTextStream m_out;
    QTextStream m_err;
    const bool m_progress;
    QTranslator m_translator;
    bool m_translatorInstalled = false;
    QElapsedTimer m_clock;  // since the start, for --trace and write --verify
    std::unique_ptr<ProtocolTrace> m_trace;
};
