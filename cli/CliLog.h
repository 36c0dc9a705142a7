#pragma once

#include <QJsonObject>
#include <QString>

class CliSession;
struct Target;

// --log FILE: the production record, one JSON line per repeater and command
// (time, card number, name, path, the parameter file and its SHA-256, the
// command, the result, the step it failed at and the exit status), each with
// the same keys, null where unknown. A line is appended with one write to
// the file opened for appending (cli/platform/AppendFile), under a Hold, so
// that it stands whole beside the lines of other threads and processes, also
// when a signal stops the program meanwhile.
class CliLog {
public:
    // `path` empty: no record is kept.
    CliLog(const QString& path, const char* command);

    bool enabled() const { return !m_path.isEmpty(); }
    // Before any repeater is worked on: the file can be appended to (it is
    // created when missing), or a usage error is said.
    int check(CliSession& session) const;

    // The line for a repeater and how the command ended for it.
    QJsonObject entry(const Target& target, int status, const QString& result) const;
    // Appends the repeater's line, and marks the target recorded. Done, or
    // after saying why, the status for a record lost.
    int record(CliSession& session, Target& target, int status, const QString& result) const;
    // When a signal ends the program: the line, if the target has none yet.
    // No Hold, no message: it runs where the program stops.
    void recordStop(Target& target, int status, const QString& line) const;

private:
    QString m_path;
    const char* m_command;
};
