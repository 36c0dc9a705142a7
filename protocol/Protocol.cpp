#include "Protocol.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cstring>

#include "HardwareModel.h"

namespace Protocol {

namespace {

// The texts of --trace; the command line's trace shares their context.
class TraceText {
    Q_DECLARE_TR_FUNCTIONS(ProtocolTrace)
};

const CommandInfo kCatalogue[] = {
    {Command::QueryHardwareVersion, 0x01, QuickQueryTimeout, false, 0,
     QT_TRANSLATE_NOOP("ProtocolTrace", "查询硬件版本"), &QueryHardwareVersion::describe},
    {Command::Reset, 0x01, ResetTimeout, true, StatusAccepted, QT_TRANSLATE_NOOP("ProtocolTrace", "复位"),
     nullptr},
    {Command::QueryFirmwareVersion, 0x01, QuickQueryTimeout, false, 0,
     QT_TRANSLATE_NOOP("ProtocolTrace", "查询固件版本"), &QueryFirmwareVersion::describe},
    {Command::QueryCardNumber, 0x01, QuickQueryTimeout, false, 0,
     QT_TRANSLATE_NOOP("ProtocolTrace", "查询卡号"), &QueryCardNumber::describe},
    {Command::QueryHardwareType, 0x01, QuickQueryTimeout, false, 0,
     QT_TRANSLATE_NOOP("ProtocolTrace", "查询硬件类型"), &QueryHardwareType::describe},
    {Command::SetCanBaudRate, 0x06, SetTimeout, true, StatusAccepted,
     QT_TRANSLATE_NOOP("ProtocolTrace", "设置CAN波特率"), nullptr},
    {Command::SetCanFilter, 0x0B, SetTimeout, true, StatusAccepted,
     QT_TRANSLATE_NOOP("ProtocolTrace", "设置CAN过滤器"), nullptr},
    {Command::SetFiberBaudRate, 0x05, SetTimeout, true, StatusAccepted,
     QT_TRANSLATE_NOOP("ProtocolTrace", "设置光纤波特率"), nullptr},
    {Command::QueryFiberBaudRate, 0x01, QueryTimeout, false, 0,
     QT_TRANSLATE_NOOP("ProtocolTrace", "查询光纤波特率"), &QueryFiberBaudRate::describe},
    {Command::SetRoute, 0x09, SetTimeout, true, StatusAccepted,
     QT_TRANSLATE_NOOP("ProtocolTrace", "设置路由"), nullptr},
    {Command::QueryRoute, 0x01, QueryTimeout, false, 0, QT_TRANSLATE_NOOP("ProtocolTrace", "查询路由"),
     &QueryRoute::describe},
    {Command::QueryCanBaudRate, 0x01, QueryTimeout, true, StatusBaudRateValid,
     QT_TRANSLATE_NOOP("ProtocolTrace", "查询CAN波特率"), &QueryCanBaudRate::describe},
    {Command::QueryCanFilter, 0x02, QuickQueryTimeout, false, 0,
     QT_TRANSLATE_NOOP("ProtocolTrace", "查询CAN过滤器"), &QueryCanFilter::describe},
};

const char* const kFiberRates[FiberRateCount] = {"5K",   "10K",  "20K",  "40K",  "50K",   "100K",
                                                 "125K", "250K", "500K", "920K", "1380K", "2250K"};

// Byte 5 of the queries that repeat the last bank.
constexpr int kLastBankByte = 5;

constexpr quint8 kInUseFlag = 0x80;
constexpr quint8 kChannelBits = 0x0F;
constexpr quint8 kListModeBit = 0x10;
constexpr quint8 kWideBit = 0x01;

quint8 byteAt(const QByteArray& reply, int index) {
    return static_cast<quint8>(reply.at(index));
}

QString byteText(quint8 value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

// Whether the reply holds the bytes up to `end` and, where the command
// tests one, the status it requires.
ReplyError check(Command command, const QByteArray& reply, int end) {
    const CommandInfo& entry = info(command);
    if (reply.size() < std::max(end, entry.statusTested ? StatusByte + 1 : 0)) return ReplyError::TooShort;
    if (entry.statusTested && byteAt(reply, StatusByte) != entry.requiredStatus)
        return ReplyError::WrongStatus;
    return ReplyError::None;
}

template <typename Values>
Parsed<Values> withError(ReplyError error) {
    Parsed<Values> parsed;
    parsed.error = error;
    return parsed;
}

Word wordAt(const QByteArray& reply, int index) {
    Word word{};
    for (int i = 0; i < WordSize; ++i) word[size_t(i)] = byteAt(reply, index + i);
    return word;
}

// memcpy, not std::copy: GCC 12's optimiser takes the unrolled byte loop
// into a small stack array for an overflow (-Wstringop-overflow).
void putWord(char* out, const Word& word) {
    std::memcpy(out, word.data(), word.size());
}

QByteArray queryFrame(Command command, const QByteArray& payload, int lastBank) {
    QByteArray result = frame(command, payload);
    result[kLastBankByte] = static_cast<char>(lastBank);
    return result;
}

QString channelName(const Glossary& glossary, int channel) {
    return glossary.channelName ? glossary.channelName(channel) : QString();
}

}  // namespace

QString usbIdText() {
    return QString::asprintf("%04x:%04x", VendorId, ProductId);
}

const CommandInfo* find(unsigned char code) {
    for (const CommandInfo& entry : kCatalogue) {
        if (static_cast<unsigned char>(entry.command) == code) return &entry;
    }
    return nullptr;
}

const CommandInfo& info(Command command) {
    const CommandInfo* entry = find(static_cast<unsigned char>(command));
    // Every enumerator is in the catalogue; the fallback only keeps this total.
    return entry != nullptr ? *entry : kCatalogue[0];
}

QByteArray frame(Command command, const QByteArray& payload) {
    const CommandInfo* entry = find(static_cast<unsigned char>(command));
    if (entry == nullptr || payload.size() > entry->payloadLength) return QByteArray();
    QByteArray result(FrameSize, '\0');
    char* bytes = result.data();
    bytes[0] = static_cast<char>(ReportNumber);
    bytes[1] = static_cast<char>(FrameHead);
    bytes[2] = static_cast<char>(command);
    bytes[3] = static_cast<char>(entry->payloadLength);
    std::copy(payload.cbegin(), payload.cend(), bytes + HeaderSize);
    return result;
}

QString describeReply(unsigned char code, const QByteArray& reply, const Glossary& glossary) {
    const CommandInfo* entry = find(code);
    if (entry == nullptr) return QString();
    QString what;
    if (check(entry->command, reply, 0) == ReplyError::WrongStatus)
        what = TraceText::tr("未接受（状态%1）").arg(byteText(byteAt(reply, StatusByte)));
    else if (entry->describe != nullptr)
        what = entry->describe(reply, glossary);
    if (what.isEmpty()) what = TraceText::tr("已接受");
    return TraceText::tr("%1：%2").arg(TraceText::tr(entry->name), what);
}

QByteArray wordBytes(const Word& word) {
    return QByteArray(reinterpret_cast<const char*>(word.data()), WordSize);
}

Word wordOf(const QByteArray& bytes) {
    Word word{};
    for (int i = 0; i < WordSize && i < bytes.size(); ++i) word[size_t(i)] = static_cast<quint8>(bytes.at(i));
    return word;
}

QString fiberRateText(int code) {
    return code >= 1 && code <= FiberRateCount ? QString::fromLatin1(kFiberRates[code - 1]) : QString();
}

Parsed<Acknowledgement> parseAcknowledgement(Command command, const QByteArray& reply) {
    return withError<Acknowledgement>(check(command, reply, 0));
}

QString Version::text() const {
    return QString::asprintf("%d.%02d", major, minor);
}

QByteArray QueryHardwareType::frame() const {
    return Protocol::frame(Command::QueryHardwareType);
}

Parsed<int> QueryHardwareType::parse(const QByteArray& reply) {
    const ReplyError error = check(Command::QueryHardwareType, reply, Reply::HardwareType + 1);
    if (error != ReplyError::None) return withError<int>(error);
    return {ReplyError::None, byteAt(reply, Reply::HardwareType)};
}

QString QueryHardwareType::describe(const QByteArray& reply, const Glossary&) {
    const Parsed<int> code = parse(reply);
    if (!code.ok()) return QString();
    const HardwareModel* model = hardwareModel(code.values);
    return model ? TraceText::tr("类型%1，%2").arg(code.values).arg(QString::fromLatin1(model->name))
                 : TraceText::tr("类型%1，未知型号").arg(code.values);
}

QByteArray QueryCardNumber::frame() const {
    return Protocol::frame(Command::QueryCardNumber);
}

Parsed<QString> QueryCardNumber::parse(const QByteArray& reply) {
    const ReplyError error = check(Command::QueryCardNumber, reply, Reply::CardNumber);
    if (error != ReplyError::None) return withError<QString>(error);
    const char* text = reply.constData() + Reply::CardNumber;
    const char* end = reply.constData() + reply.size();
    return {ReplyError::None, QString::fromUtf8(text, int(std::find(text, end, '\0') - text))};
}

QString QueryCardNumber::describe(const QByteArray& reply, const Glossary&) {
    const Parsed<QString> card = parse(reply);
    return card.ok() ? TraceText::tr("“%1”").arg(card.values) : QString();
}

template <Command code>
Parsed<Version> QueryVersion<code>::parse(const QByteArray& reply) {
    const ReplyError error = check(code, reply, Reply::VersionMajor + 1);
    if (error != ReplyError::None) return withError<Version>(error);
    return {ReplyError::None, {byteAt(reply, Reply::VersionMajor), byteAt(reply, Reply::VersionMinor)}};
}

template <Command code>
QString QueryVersion<code>::describe(const QByteArray& reply, const Glossary&) {
    const Parsed<Version> version = parse(reply);
    return version.ok() ? TraceText::tr("版本%1").arg(version.values.text()) : QString();
}

template struct QueryVersion<Command::QueryHardwareVersion>;
template struct QueryVersion<Command::QueryFirmwareVersion>;

QByteArray QueryCanBaudRate::frame() const {
    return queryFrame(Command::QueryCanBaudRate, QByteArray(1, static_cast<char>(channel)), lastBank);
}

Parsed<Word> QueryCanBaudRate::parse(const QByteArray& reply) {
    const ReplyError error = check(Command::QueryCanBaudRate, reply, Reply::BaudRateWord + WordSize);
    if (error != ReplyError::None) return withError<Word>(error);
    return {ReplyError::None, wordAt(reply, Reply::BaudRateWord)};
}

QString QueryCanBaudRate::describe(const QByteArray& reply, const Glossary& glossary) {
    const Parsed<Word> word = parse(reply);
    if (!word.ok()) return QString();
    const QByteArray bytes = wordBytes(word.values);
    return TraceText::tr("位定时字%1（%2）")
        .arg(QLatin1String("0x") + QString::fromLatin1(bytes.toHex().toUpper()),
             glossary.bitTimingWord ? glossary.bitTimingWord(bytes) : QString());
}

QByteArray QueryCanFilter::frame() const {
    const char payload[] = {static_cast<char>(channel), static_cast<char>(bank)};
    return Protocol::frame(Command::QueryCanFilter, QByteArray::fromRawData(payload, sizeof payload));
}

Parsed<FilterBank> QueryCanFilter::parse(const QByteArray& reply) {
    const ReplyError error = check(Command::QueryCanFilter, reply, Reply::FilterEnd);
    if (error != ReplyError::None) return withError<FilterBank>(error);
    Parsed<FilterBank> parsed;
    FilterBank& bank = parsed.values;
    bank.bank = byteAt(reply, Reply::FilterBank);
    if (bank.bank >= FilterBankCount) parsed.error = ReplyError::NoSuchBank;
    bank.inUse = (byteAt(reply, Reply::FilterFlags) & kInUseFlag) != 0;
    bank.listMode = (byteAt(reply, Reply::FilterMode) & kListModeBit) != 0;
    bank.wide = (byteAt(reply, Reply::FilterMode) & kWideBit) != 0;
    bank.id = wordAt(reply, Reply::FilterId);
    bank.mask = wordAt(reply, Reply::FilterMask);
    return parsed;
}

// "bank 3 in use, list mode, 32 bits": the bank as the filter table numbers
// its rows, from 1.
QString QueryCanFilter::describe(const QByteArray& reply, const Glossary&) {
    const Parsed<FilterBank> parsed = parse(reply);
    const FilterBank& bank = parsed.values;
    if (parsed.error == ReplyError::NoSuchBank) return TraceText::tr("没有第%1组").arg(bank.bank + 1);
    if (!parsed.ok()) return QString();
    return TraceText::tr("第%1组%2，%3，%4")
        .arg(bank.bank + 1)
        .arg(bank.inUse ? TraceText::tr("使用") : TraceText::tr("未使用"),
             bank.listMode ? TraceText::tr("列表模式") : TraceText::tr("掩码模式"),
             bank.wide ? TraceText::tr("32位") : TraceText::tr("16位"));
}

QByteArray QueryFiberBaudRate::frame() const {
    return queryFrame(Command::QueryFiberBaudRate, QByteArray(), lastBank);
}

Parsed<FiberCodes> QueryFiberBaudRate::parse(const QByteArray& reply) {
    const ReplyError error = check(Command::QueryFiberBaudRate, reply, Reply::FiberCodes + FiberChannelCount);
    if (error != ReplyError::None) return withError<FiberCodes>(error);
    Parsed<FiberCodes> parsed;
    for (int i = 0; i < FiberChannelCount; ++i)
        parsed.values[size_t(i)] = byteAt(reply, Reply::FiberCodes + i);
    return parsed;
}

// "Fiber1 0b 1380K, Fiber2 00, ...": the code of each fiber channel.
QString QueryFiberBaudRate::describe(const QByteArray& reply, const Glossary& glossary) {
    const Parsed<FiberCodes> parsed = parse(reply);
    if (!parsed.ok()) return QString();
    QStringList codes;
    for (int i = 0; i < FiberChannelCount; ++i) {
        const quint8 code = parsed.values[size_t(i)];
        const QString text = (byteText(code) + QLatin1Char(' ') + fiberRateText(code)).trimmed();
        codes << channelName(glossary, RouteChannelCount - FiberChannelCount + i) + QLatin1Char(' ') + text;
    }
    return codes.join(TraceText::tr("，"));
}

QByteArray QueryRoute::frame() const {
    return queryFrame(Command::QueryRoute, QByteArray(), lastBank);
}

Parsed<RouteRows> QueryRoute::parse(const QByteArray& reply) {
    const ReplyError error = check(Command::QueryRoute, reply, Reply::RouteRows[RouteChannelCount - 1] + 1);
    if (error != ReplyError::None) return withError<RouteRows>(error);
    Parsed<RouteRows> parsed;
    for (int i = 0; i < RouteChannelCount; ++i) parsed.values[size_t(i)] = byteAt(reply, Reply::RouteRows[i]);
    return parsed;
}

// "CAN1→CAN2 Fiber1; CAN2→—; ...": where each row sends, as a device with
// every channel reads it.
QString QueryRoute::describe(const QByteArray& reply, const Glossary& glossary) {
    const Parsed<RouteRows> parsed = parse(reply);
    if (!parsed.ok()) return QString();
    QStringList rows;
    for (int from = 0; from < RouteChannelCount; ++from) {
        QStringList targets;
        for (int to = 0; to < RouteChannelCount; ++to)
            if (to != from && (parsed.values[size_t(from)] >> RouteBits[to]) & 1u)
                targets << channelName(glossary, to);
        rows << channelName(glossary, from) + QStringLiteral("→") +
                    (targets.isEmpty() ? QStringLiteral("—") : targets.join(QLatin1Char(' ')));
    }
    return rows.join(TraceText::tr("；"));
}

QByteArray SetCanBaudRate::frame() const {
    char payload[2 + WordSize] = {0, static_cast<char>(channel & 0xFF)};
    putWord(payload + 2, word);
    return Protocol::frame(Command::SetCanBaudRate, QByteArray::fromRawData(payload, sizeof payload));
}

Parsed<Acknowledgement> SetCanBaudRate::parse(const QByteArray& reply) {
    return parseAcknowledgement(Command::SetCanBaudRate, reply);
}

QByteArray SetCanFilter::frame() const {
    // Built on the stack: a Write, a comparison and every fuzz input make
    // fourteen of these.
    char payload[3 + 2 * WordSize];
    payload[0] = static_cast<char>(bank.bank & 0xFF);
    payload[1] = static_cast<char>((channel & kChannelBits) | (bank.inUse ? kInUseFlag : 0));
    payload[2] = static_cast<char>((bank.listMode ? kListModeBit : 0) | (bank.wide ? kWideBit : 0));
    putWord(payload + 3, bank.id);
    putWord(payload + 3 + WordSize, bank.mask);
    return Protocol::frame(Command::SetCanFilter, QByteArray::fromRawData(payload, sizeof payload));
}

Parsed<Acknowledgement> SetCanFilter::parse(const QByteArray& reply) {
    return parseAcknowledgement(Command::SetCanFilter, reply);
}

QByteArray SetFiberBaudRate::frame() const {
    char payload[1 + FiberChannelCount] = {};
    std::memcpy(payload + 1, codes.data(), codes.size());
    return Protocol::frame(Command::SetFiberBaudRate, QByteArray::fromRawData(payload, sizeof payload));
}

Parsed<Acknowledgement> SetFiberBaudRate::parse(const QByteArray& reply) {
    return parseAcknowledgement(Command::SetFiberBaudRate, reply);
}

QByteArray SetRoute::frame() const {
    // The frame carries each reply row one byte later, after the report
    // number; payload bytes 0, 3 and 4 carry no channel.
    QByteArray result = Protocol::frame(Command::SetRoute);
    for (int i = 0; i < RouteChannelCount; ++i)
        result[Reply::RouteRows[i] + 1] = static_cast<char>(rows[size_t(i)]);
    return result;
}

Parsed<Acknowledgement> SetRoute::parse(const QByteArray& reply) {
    return parseAcknowledgement(Command::SetRoute, reply);
}

QByteArray Reset::frame() const {
    return Protocol::frame(Command::Reset);
}

Parsed<Acknowledgement> Reset::parse(const QByteArray& reply) {
    return parseAcknowledgement(Command::Reset, reply);
}

}  // namespace Protocol
