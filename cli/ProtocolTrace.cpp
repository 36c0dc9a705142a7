#include "ProtocolTrace.h"

#include <QByteArray>
#include <QTextStream>

namespace {
QString hex(const unsigned char* data, int length) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(data), length).toHex(' ').toUpper());
}
}  // namespace

ProtocolTrace::ProtocolTrace(QTextStream& stream, const QElapsedTimer& clock) : m_stream(stream), m_clock(clock) {}

void ProtocolTrace::line(const QString& text) {
    m_stream << QString::asprintf("%9.3f ", double(m_clock.nsecsElapsed()) / 1e6) << text << '\n';
    m_stream.flush();
}

void ProtocolTrace::opened(const std::string& path, bool ok) {
    const QString name = path.empty() ? QStringLiteral("0483:6901") : QString::fromStdString(path);
    line(ok ? tr("打开 %1").arg(name) : tr("无法打开 %1").arg(name));
}

void ProtocolTrace::written(const unsigned char* data, size_t length, int result) {
    QString text = QStringLiteral("> ") + hex(data, int(length));
    if (result < 0)
        text += QLatin1Char(' ') + tr("（写入失败）");
    else if (size_t(result) != length)
        text += QLatin1Char(' ') + tr("（只写出%1个字节）").arg(result);
    line(text);
}

void ProtocolTrace::read(const unsigned char* data, int result, int milliseconds) {
    if (result > 0) {
        // A read that does not wait only takes a reply left over from before.
        line(QStringLiteral("< ") + hex(data, result) +
             (milliseconds == 0 ? QLatin1Char(' ') + tr("（此前未取走的回复，已丢弃）") : QString()));
    } else if (result == 0 && milliseconds > 0) {
        line(QStringLiteral("< ") + tr("超时：%1 ms内没有回复").arg(milliseconds));
    } else if (result < 0) {
        line(QStringLiteral("< ") + tr("读取失败"));
    }
}
