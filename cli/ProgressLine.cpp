#include "ProgressLine.h"

#include <QTextStream>
#include <atomic>

ProgressLine::ProgressLine(QTextStream& stream, bool enabled) : m_stream(stream), m_enabled(enabled) {}

ProgressLine::~ProgressLine() {
    end();
}

namespace {
std::atomic<int> g_shown{0};
}  // namespace

bool ProgressLine::anyShown() {
    return g_shown > 0;
}

void ProgressLine::end() {
    if (!m_shown) return;
    m_stream << '\n';
    m_stream.flush();
    m_shown = false;
    --g_shown;
}

void ProgressLine::show(const QString& text) {
    if (!m_enabled) return;
    // Step texts only grow, so the new one covers the old one.
    m_stream << '\r' << text;
    m_stream.flush();
    if (!m_shown) ++g_shown;
    m_shown = true;
}
