#include "ProtocolTrace.h"

#include <QByteArray>
#include <QStringList>
#include <QTextStream>

#include "BitTiming.h"
#include "CanCodec.h"
#include "DeviceSearch.h"
#include "FiberRules.h"
#include "Protocol.h"
#include "RouteRules.h"

namespace {

using Protocol::Command;
namespace At = Protocol::Reply;

QString hex(const unsigned char* data, int length) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(data), length).toHex(' ').toUpper());
}

QString byteText(unsigned char value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

struct CommandName {
    Command command;
    const char* name;
};

const CommandName kNames[] = {
    {Command::QueryHardwareVersion, QT_TRANSLATE_NOOP("ProtocolTrace", "查询硬件版本")},
    {Command::Reset, QT_TRANSLATE_NOOP("ProtocolTrace", "复位")},
    {Command::QueryFirmwareVersion, QT_TRANSLATE_NOOP("ProtocolTrace", "查询固件版本")},
    {Command::QueryCardNumber, QT_TRANSLATE_NOOP("ProtocolTrace", "查询卡号")},
    {Command::QueryHardwareType, QT_TRANSLATE_NOOP("ProtocolTrace", "查询硬件类型")},
    {Command::SetCanBaudRate, QT_TRANSLATE_NOOP("ProtocolTrace", "设置CAN波特率")},
    {Command::SetCanFilter, QT_TRANSLATE_NOOP("ProtocolTrace", "设置CAN过滤器")},
    {Command::SetFiberBaudRate, QT_TRANSLATE_NOOP("ProtocolTrace", "设置光纤波特率")},
    {Command::QueryFiberBaudRate, QT_TRANSLATE_NOOP("ProtocolTrace", "查询光纤波特率")},
    {Command::SetRoute, QT_TRANSLATE_NOOP("ProtocolTrace", "设置路由")},
    {Command::QueryRoute, QT_TRANSLATE_NOOP("ProtocolTrace", "查询路由")},
    {Command::QueryCanBaudRate, QT_TRANSLATE_NOOP("ProtocolTrace", "查询CAN波特率")},
    {Command::QueryCanFilter, QT_TRANSLATE_NOOP("ProtocolTrace", "查询CAN过滤器")},
};

QString commandName(Command command) {
    for (const CommandName& entry : kNames)
        if (entry.command == command) return ProtocolTrace::tr(entry.name);
    return QString();
}

QString hardwareType(const unsigned char* reply) {
    const int code = reply[At::HardwareType];
    const HardwareModel* model = hardwareModel(code);
    return model ? ProtocolTrace::tr("类型%1，%2").arg(code).arg(QString::fromLatin1(model->name))
                 : ProtocolTrace::tr("类型%1，未知型号").arg(code);
}

QString bitTimingWord(const unsigned char* reply) {
    const QByteArray word(reinterpret_cast<const char*>(reply) + At::BaudRateWord, CanCodec::kWordSize);
    return ProtocolTrace::tr("位定时字%1（%2）")
        .arg(CanCodec::tableWordText(word), BitTiming::describe(word));
}

// "bank 3 in use, list mode, 32 bits": the bank as the filter table numbers
// its rows, from 1.
QString filterBank(const unsigned char* reply) {
    const QByteArray bytes(reinterpret_cast<const char*>(reply), At::FilterEnd);
    int bank = 0;
    FilterRow row;
    if (!CanCodec::parseFilterReply(bytes, &bank, &row))
        return ProtocolTrace::tr("没有第%1组").arg(reply[At::FilterBank] + 1);
    return ProtocolTrace::tr("第%1组%2，%3，%4")
        .arg(bank + 1)
        .arg(row.inUse ? ProtocolTrace::tr("使用") : ProtocolTrace::tr("未使用"),
             row.workMode ? ProtocolTrace::tr("列表模式") : ProtocolTrace::tr("掩码模式"),
             row.bitWidth ? ProtocolTrace::tr("32位") : ProtocolTrace::tr("16位"));
}

// "Fiber1 0b 1380K, Fiber2 00, ...": the code of each fiber channel.
QString fiberCodes(const unsigned char* reply) {
    QStringList codes;
    for (int i = 0; i < kFiberChannelMax; ++i) {
        const unsigned char code = reply[At::FiberCodes + i];
        const QString text = (byteText(code) + QLatin1Char(' ') + FiberRules::rateText(code)).trimmed();
        codes << RouteRules::channelName(2 + i) + QLatin1Char(' ') + text;
    }
    return codes.join(ProtocolTrace::tr("，"));
}

// "CAN1→CAN2 Fiber1; CAN2→—; ...": where each row sends, as a device with
// every channel reads it.
QString routeRows(const unsigned char* reply) {
    constexpr int kEveryChannel = 4;
    RouteValues route;
    RouteRules::applyReply(route, kEveryChannel, reply);
    QStringList rows;
    for (int from = 0; from < kRouteChannelCount; ++from) {
        QStringList targets;
        for (int to = 0; to < kRouteChannelCount; ++to)
            if (route.routes[size_t(from)][size_t(to)]) targets << RouteRules::channelName(to);
        rows << RouteRules::channelName(from) + QStringLiteral("→") +
                    (targets.isEmpty() ? QStringLiteral("—") : targets.join(QLatin1Char(' ')));
    }
    return rows.join(ProtocolTrace::tr("；"));
}

// The field a query's reply carries; empty for a set command.
QString field(Command command, const unsigned char* reply) {
    switch (command) {
        case Command::QueryHardwareVersion:
        case Command::QueryFirmwareVersion:
            return ProtocolTrace::tr("版本%1").arg(Protocol::versionText(reply));
        case Command::QueryCardNumber:
            return ProtocolTrace::tr("“%1”").arg(Protocol::cardNumberText(reply));
        case Command::QueryHardwareType:
            return hardwareType(reply);
        case Command::QueryCanBaudRate:
            return bitTimingWord(reply);
        case Command::QueryCanFilter:
            return filterBank(reply);
        case Command::QueryFiberBaudRate:
            return fiberCodes(reply);
        case Command::QueryRoute:
            return routeRows(reply);
        default:
            return QString();
    }
}

}  // namespace

ProtocolTrace::ProtocolTrace(QTextStream& stream, const QElapsedTimer& clock)
    : m_stream(stream), m_clock(clock) {}

QString ProtocolTrace::meaning(unsigned char code, const unsigned char* reply) {
    const Protocol::CommandInfo* info = Protocol::find(code);
    if (info == nullptr) return QString();
    const unsigned char status = reply[Protocol::StatusByte];
    QString what;
    if (info->statusTested && status != info->requiredStatus)
        what = ProtocolTrace::tr("未接受（状态%1）").arg(byteText(status));
    else
        what = field(info->command, reply);
    if (what.isEmpty()) what = ProtocolTrace::tr("已接受");
    return ProtocolTrace::tr("%1：%2").arg(commandName(info->command), what);
}

void ProtocolTrace::line(const QString& text) {
    m_stream << QString::asprintf("%9.3f ", double(m_clock.nsecsElapsed()) / 1e6) << text << '\n';
    m_stream.flush();
}

void ProtocolTrace::opened(const std::string& path, bool ok) {
    const QString name = path.empty() ? QStringLiteral("%1:%2")
                                            .arg(Protocol::VendorId, 4, 16, QLatin1Char('0'))
                                            .arg(Protocol::ProductId, 4, 16, QLatin1Char('0'))
                                      : QString::fromStdString(path);
    line(ok ? ProtocolTrace::tr("打开 %1").arg(name) : ProtocolTrace::tr("无法打开 %1").arg(name));
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
