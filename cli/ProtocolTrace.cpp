#include "ProtocolTrace.h"

#include <QByteArray>
#include <QTextStream>

#include "BitTiming.h"
#include "Protocol.h"
#include "RouteRules.h"

namespace {

QString hex(const unsigned char* data, int length) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(data), length).toHex(' ').toUpper());
}

}  // namespace

ProtocolTrace::ProtocolTrace(QTextStream& stream, const QElapsedTimer& clock)
    : m_stream(stream), m_clock(clock) {}

QString ProtocolTrace::meaning(unsigned char code, const unsigned char* reply) {
    // What the values call the channels and make of a word.
    const Protocol::Glossary glossary{&RouteRules::channelName, &BitTiming::describe};
    return Protocol::describeReply(
        code, QByteArray::fromRawData(reinterpret_cast<const char*>(reply), Protocol::ReplySize), glossary);
}

void ProtocolTrace::line(const QString& text) {
    m_stream << QString::asprintf("%9.3f ", double(m_clock.nsecsElapsed()) / 1e6) << text << '\n';
    m_stream.flush();
}

void ProtocolTrace::opened(const std::string& path, bool ok) {
    const QString name = path.empty() ? Protocol::usbIdText() : QString::fromStdString(path);
    line(ok ? tr("打开 %1").arg(name) : tr("无法打开 %1").arg(name));
}

void ProtocolTrace::written(const unsigned char* data, size_t length, int result) {
    QString text = QStringLiteral("> ") + hex(data, int(length));
    if (result < 0)
        text += QLatin1Char(' ') + ProtocolTrace::tr("（写入失败）");
    else if (size_t(result) != length)
        text += QLatin1Char(' ') + ProtocolTrace::tr("（只写出%1个字节）").arg(result);
    line(text);
    // A reply answers a frame sent whole; the command is its byte 2.
    const bool sent = length == size_t(Protocol::FrameSize) && size_t(result) == length;
    m_lastCode = sent ? data[2] : -1;
}

void ProtocolTrace::read(const unsigned char* data, int result, int milliseconds) {
    if (result > 0) {
        // A read that does not wait only takes a reply left over from before.
        line(QStringLiteral("< ") + hex(data, result) +
             (milliseconds == 0 ? QLatin1Char(' ') + ProtocolTrace::tr("（此前未取走的回复，已丢弃）")
                                : QString()));
        const QString what = milliseconds > 0 && result == Protocol::ReplySize && m_lastCode >= 0
                                 ? meaning(static_cast<unsigned char>(m_lastCode), data)
                                 : QString();
        if (!what.isEmpty()) line(QStringLiteral("= ") + what);
    } else if (result == 0 && milliseconds > 0) {
        line(QStringLiteral("< ") + ProtocolTrace::tr("超时：%1 ms内没有回复").arg(milliseconds));
    } else if (result < 0) {
        line(QStringLiteral("< ") + ProtocolTrace::tr("读取失败"));
    }
}
