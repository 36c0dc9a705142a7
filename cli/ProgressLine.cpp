#include "ProgressLine.h"

#include <QTextStream>

ProgressLine::ProgressLine(QTextStream& stream, bool enabled) : m_stream(stream), m_enabled(enabled) {}

ProgressLine::~ProgressLine() {
    if (!m_shown) return;
    m_stream << '\n';
    m_stream.flush();
}

void ProgressLine::show(const QString& text) {
    if (!m_enabled) return;
    // Step texts only grow, so the new one covers the old one.
    m_stream << '\r' << text;
    m_stream.flush();
    m_shown = true;
}
