#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>

// Standard error of the program, written by several threads (the trace,
// messages and progress of one or of each repeater) and by the one that
// handles a signal: one write at a time, and none after the line that says
// the program stops.
class StandardError : public QIODevice {
public:
    // Open for writing, unbuffered.
    StandardError();

    // A line of the thread that handles signals, between the others' writes.
    static void writeLine(const QByteArray& line);
    // The program's last line: waits for a write under way, and keeps every
    // later one waiting for good; the caller ends the program at once.
    static void writeLast(const QByteArray& line);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    QFile m_file;
};
