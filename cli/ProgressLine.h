#pragma once

#include <QString>

class QTextStream;

// How far a Read or Write got, on one line of standard error that each step
// rewrites, for a person watching a terminal. Elsewhere (a file, a pipe, a
// script's log) it writes nothing. The line stays when it ends, so that a
// failure's message below it shows at which step it stopped.
class ProgressLine {
public:
    ProgressLine(QTextStream& stream, bool enabled);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const QString& text);
    // Ends the line early, so that another one can follow; show() starts a new one.
    void end();
    // Whether a line is shown now and not ended, anywhere in the program.
    static bool anyShown();

private:
    QTextStream& m_stream;
    const bool m_enabled;
    bool m_shown = false;
};
