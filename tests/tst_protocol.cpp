#include <QtTest>

#include "Protocol.h"

using Protocol::Command;

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

QString bytes(const QByteArray& data) {
    return QString::fromLatin1(data.toHex(' '));
}

QString word(const Protocol::Word& w) {
    return bytes(Protocol::wordBytes(w));
}

QString errorText(Protocol::ReplyError error) {
    switch (error) {
        case Protocol::ReplyError::None:
            return "none";
        case Protocol::ReplyError::TooShort:
            return "too short";
        case Protocol::ReplyError::WrongStatus:
            return "wrong status";
        case Protocol::ReplyError::NoSuchBank:
            return "no such bank";
    }
    return QString();
}

// What the parser of the command's reply takes from it, in a line; or why not.
QString parsed(Command command, const QByteArray& reply) {
    using namespace Protocol;
    const auto line = [](const auto& p, const auto& text) {
        return p.ok() ? text(p.values) : errorText(p.error);
    };
    switch (command) {
        case Command::QueryHardwareType:
            return line(QueryHardwareType::parse(reply), [](int code) { return QString::number(code); });
        case Command::QueryCardNumber:
            return line(QueryCardNumber::parse(reply), [](const QString& text) { return text; });
        case Command::QueryHardwareVersion:
            return line(QueryHardwareVersion::parse(reply), [](const Version& v) { return v.text(); });
        case Command::QueryFirmwareVersion:
            return line(QueryFirmwareVersion::parse(reply), [](const Version& v) { return v.text(); });
        case Command::QueryCanBaudRate:
            return line(QueryCanBaudRate::parse(reply), word);
        case Command::QueryCanFilter:
            return line(QueryCanFilter::parse(reply), [](const FilterBank& b) {
                return QStringList{QString::number(b.bank),
                                   b.inUse ? "in use" : "not in use",
                                   b.listMode ? "list" : "mask",
                                   b.wide ? "32" : "16",
                                   word(b.id),
                                   word(b.mask)}
                    .join('|');
            });
        case Command::QueryFiberBaudRate:
            return line(QueryFiberBaudRate::parse(reply), [](const FiberCodes& c) {
                return bytes(QByteArray(reinterpret_cast<const char*>(c.data()), int(c.size())));
            });
        case Command::QueryRoute:
            return line(QueryRoute::parse(reply), [](const RouteRows& r) {
                return bytes(QByteArray(reinterpret_cast<const char*>(r.data()), int(r.size())));
            });
        default:
            return line(parseAcknowledgement(command, reply),
                        [](Acknowledgement) { return QString("acknowledged"); });
    }
}

QString channelName(int channel) {
    return QStringLiteral("C%1").arg(channel + 1);
}

QString wordMeaning(const QByteArray& word) {
    return QString::number(word.size()) + QStringLiteral(" bytes");
}

}  // namespace

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void requests_data();
    void requests();
    void longerPayloadIsRefused_data();
    void longerPayloadIsRefused();
    void replies_data();
    void replies();
    void describeReply_data();
    void describeReply();
    void unknownCode();
};

void TestProtocol::requests_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("timeout");  // ms

    auto row = [](const char* name, const QByteArray& frame, const char* expected, int timeout) {
        QTest::newRow(name) << frame << hex(expected) << timeout;
    };
    using namespace Protocol;
    row("01 hardware version", QueryHardwareVersion{}.frame(), "00 12 01 01 00 000000000000000000000000", 10);
    row("12 firmware version", QueryFirmwareVersion{}.frame(), "00 12 12 01 00 000000000000000000000000", 10);
    row("14 card number", QueryCardNumber{}.frame(), "00 12 14 01 00 000000000000000000000000", 10);
    row("15 hardware type", QueryHardwareType{}.frame(), "00 12 15 01 00 000000000000000000000000", 10);
    row("11 reset", Reset{}.frame(), "00 12 11 01 00 000000000000000000000000", 4000);
    row("23 channel 2 at 100K", SetCanBaudRate{2, {0x00, 0x12, 0x00, 0x3B}}.frame(),
        "00 12 23 06 00 02 00 12 00 3B 00000000000000", 50);
    row("23 channel's low eight bits", SetCanBaudRate{0x103, {0x12, 0x34, 0xAB, 0xCD}}.frame(),
        "00 12 23 06 00 03 12 34 AB CD 00000000000000", 50);
    row("24 channel 1 bank 0 in use, mask, 32 bits", SetCanFilter{1, {0, true, false, true, {}, {}}}.frame(),
        "00 12 24 0B 00 81 01 00000000 00000000 0000", 50);
    row("24 channel 1 bank 5 not in use", SetCanFilter{1, {5, false, false, true, {}, {}}}.frame(),
        "00 12 24 0B 05 01 01 00000000 00000000 0000", 50);
    row("24 channel 2 bank 3 in use, list, 16 bits",
        SetCanFilter{2, {3, true, true, false, {0x12, 0x34, 0x56, 0x78}, {0x9A, 0xBC, 0xDE, 0xF0}}}.frame(),
        "00 12 24 0B 03 82 10 12345678 9ABCDEF0 0000", 50);
    row("24 channel's low four bits", SetCanFilter{0x13, {13, false, false, false, {}, {}}}.frame(),
        "00 12 24 0B 0D 03 00 00000000 00000000 0000", 50);
    row("25 two fiber channels", SetFiberBaudRate{{0x0B, 0x05, 0x00, 0x00}}.frame(),
        "00 12 25 05 00 0B 05 00 00 0000000000000000", 50);
    row("25 no fiber channels", SetFiberBaudRate{}.frame(), "00 12 25 05 00 000000000000000000000000", 50);
    row("27 type 4, every route", SetRoute{{0x4F, 0x8F, 0xC7, 0xCB, 0xCD, 0xCE}}.frame(),
        "00 12 27 09 00 4F 8F 00 00 C7 CB CD CE 00000000", 50);
    row("27 only CAN2 sends, to CAN1", SetRoute{{0x00, 0x80, 0, 0, 0, 0}}.frame(),
        "00 12 27 09 00 00 80 00 00 00 00 00 00 00000000", 50);
    row("A4 channel 2", QueryCanBaudRate{2}.frame(), "00 12 A4 01 02 000000000000000000000000", 100);
    row("A5 channel 1 bank 5", QueryCanFilter{1, 5}.frame(), "00 12 A5 02 01 05 0000000000000000000000", 10);
    row("A5 channel 2 bank 13", QueryCanFilter{2, 13}.frame(), "00 12 A5 02 02 0D 0000000000000000000000",
        10);
    row("26 fiber codes", QueryFiberBaudRate{}.frame(), "00 12 26 01 00 000000000000000000000000", 100);
    row("28 route map", QueryRoute{}.frame(), "00 12 28 01 00 000000000000000000000000", 100);
    // Byte 5 of a Read's query that sets no bank repeats the last bank asked for.
    row("A4 channel 2 after channel 1's banks", QueryCanBaudRate{2, 13}.frame(),
        "00 12 A4 01 02 0D 0000000000000000000000", 100);
    row("26 after the banks", QueryFiberBaudRate{13}.frame(), "00 12 26 01 00 0D 0000000000000000000000",
        100);
    row("28 after the banks", QueryRoute{13}.frame(), "00 12 28 01 00 0D 0000000000000000000000", 100);
}

// Every request as the device's documentation writes its frame, and the
// time its reply may take.
void TestProtocol::requests() {
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(expected.size(), 17);
    QCOMPARE(frame, expected);
    const Protocol::CommandInfo* command = Protocol::find(quint8(frame.at(2)));
    QVERIFY(command != nullptr);
    QTEST(command->timeout, "timeout");
}

void TestProtocol::longerPayloadIsRefused_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("payloadSize");
    QTest::newRow("baud-rate word of 5 bytes") << int(Command::SetCanBaudRate) << 7;
    QTest::newRow("filter with 5-byte mask") << int(Command::SetCanFilter) << 12;
    QTest::newRow("more than a frame holds") << int(Command::SetRoute) << 20;
    QTest::newRow("query with two bytes") << int(Command::QueryHardwareType) << 2;
}

// A frame that cannot carry its payload whole is never built; one with a
// shorter payload is zero filled and keeps the command's length byte.
void TestProtocol::longerPayloadIsRefused() {
    QFETCH(int, command);
    QFETCH(int, payloadSize);
    QVERIFY(Protocol::frame(Command(command), QByteArray(payloadSize, '\x01')).isEmpty());
    QCOMPARE(Protocol::frame(Command(command)).mid(3, 1),
             Protocol::frame(Command(command), "\x01").mid(3, 1));
    QCOMPARE(Protocol::frame(Command::QueryHardwareVersion), hex("0012010100000000000000000000000000"));
}

void TestProtocol::replies_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("values");  // or why not

    auto row = [](const char* name, Command command, const char* reply, const QString& values) {
        QTest::newRow(name) << int(command) << hex(reply) << values;
    };
    row("hardware type 4", Command::QueryHardwareType, "12 15 00 00 04 0000000000000000000000", "4");
    row("hardware type, short", Command::QueryHardwareType, "12 15 00 00", "too short");
    row("hardware version 1.05", Command::QueryHardwareVersion, "12 01 00 00 05 01 00000000000000000000",
        "1.05");
    row("firmware version 2.10", Command::QueryFirmwareVersion, "12 12 00 00 0A 02 00000000000000000000",
        "2.10");
    row("version without its major", Command::QueryFirmwareVersion, "12 12 00 00 0A", "too short");
    row("card number to the zero byte", Command::QueryCardNumber, "12 14 00 00 54563031 00 41 000000000000",
        "TV01");
    row("card number of twelve bytes", Command::QueryCardNumber, "12 14 00 00 313233343536373839303132",
        "123456789012");
    row("baud-rate word", Command::QueryCanBaudRate, "12 A4 86 00 00 0012003B 00000000000000", "00 12 00 3b");
    row("baud-rate reply with 81", Command::QueryCanBaudRate, "12 A4 81 00 00 0012003B 00000000000000",
        "wrong status");
    row("baud-rate reply ending in its word", Command::QueryCanBaudRate, "12 A4 86 00 00 001200",
        "too short");
    row("filter bank 2 in use, list, 32 bits", Command::QueryCanFilter,
        "12 A5 00 02 80 11 01020304 0A0B0C0D 0000", "2|in use|list|32|01 02 03 04|0a 0b 0c 0d");
    // Only bit 7 of the flags and bits 4 and 0 of the mode are read.
    row("filter bits beside", Command::QueryCanFilter, "00 00 00 00 7F EE 1A00FF07 00000000",
        "0|not in use|mask|16|1a 00 ff 07|00 00 00 00");
    row("filter bank 14", Command::QueryCanFilter, "00 00 00 0E 80 11 01020304 0A0B0C0D", "no such bank");
    row("filter bank 255", Command::QueryCanFilter, "00 00 00 FF 80 11 01020304 0A0B0C0D", "no such bank");
    row("filter of 13 bytes", Command::QueryCanFilter, "00 00 00 02 80 11 01020304 0A0B0C", "too short");
    row("filter, empty", Command::QueryCanFilter, "", "too short");
    // The status of the fiber and route replies is not tested.
    row("fiber codes", Command::QueryFiberBaudRate, "12 26 00 0B 05 0C 01 000000000000000000", "0b 05 0c 01");
    row("fiber codes, short", Command::QueryFiberBaudRate, "12 26 81 0B 05 0C", "too short");
    row("route rows", Command::QueryRoute, "12 28 00 00 4F 8F FF FF C7 CB CD CE 00000000",
        "4f 8f c7 cb cd ce");
    row("route without Fiber4's row", Command::QueryRoute, "12 28 00 00 4F 8F FF FF C7 CB CD", "too short");
    row("reset acknowledged", Command::Reset, "12 11 81 00000000000000000000000000", "acknowledged");
    row("reset answered with 86", Command::Reset, "12 11 86 00000000000000000000000000", "wrong status");
    row("reset reply of two bytes", Command::Reset, "12 11", "too short");
    row("baud rate set", Command::SetCanBaudRate, "12 23 81 00000000000000000000000000", "acknowledged");
    row("filter refused", Command::SetCanFilter, "12 24 80 00000000000000000000000000", "wrong status");
    row("fiber codes set", Command::SetFiberBaudRate, "12 25 81 00000000000000000000000000", "acknowledged");
    row("route answered with 86", Command::SetRoute, "12 27 86 00000000000000000000000000", "wrong status");
}

// Each reply's values from the positions the documentation gives; a reply
// that ends before them, or does not carry the status its command requires,
// gives none.
void TestProtocol::replies() {
    QFETCH(int, command);
    QFETCH(QByteArray, reply);
    QTEST(parsed(Command(command), reply), "values");
}

void TestProtocol::describeReply_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("text");
    auto row = [](const char* name, int code, const char* reply, const char* text) {
        QTest::newRow(name) << code << hex(reply) << QString::fromUtf8(text);
    };
    row("hardware type", 0x15, "12 15 00 00 04 0000000000000000000000", "查询硬件类型：类型4，Orvex-A4");
    row("unknown model", 0x15, "12 15 00 00 09 0000000000000000000000", "查询硬件类型：类型9，未知型号");
    row("word", 0xA4, "12 A4 86 00 00 001C00E0 00000000000000",
        "查询CAN波特率：位定时字0x001C00E0（4 bytes）");
    row("word refused", 0xA4, "12 A4 81 00 00 001C00E0 00000000000000", "查询CAN波特率：未接受（状态81）");
    row("no such bank", 0xA5, "12 A5 00 0E 80 11 01020304 0A0B0C0D 0000", "查询CAN过滤器：没有第15组");
    row("fiber codes", 0x26, "12 26 00 0B 00 0D 01 000000000000000000",
        "查询光纤波特率：C3 0b 1380K，C4 00，C5 0d，C6 01 5K");
    row("route", 0x28, "12 28 00 00 40 00 00 00 80 00 00 0F 00000000",
        "查询路由：C1→C2；C2→—；C3→C1；C4→—；C5→—；C6→C3 C4 C5");
    row("set command", 0x27, "12 27 81 00000000000000000000000000", "设置路由：已接受");
    row("unknown code", 0x13, "12 13 81 00000000000000000000000000", "");
}

// What --trace says after a reply: the command, then what the reply's
// values are, in the words the layers above give it.
void TestProtocol::describeReply() {
    QFETCH(int, code);
    QFETCH(QByteArray, reply);
    QTEST(Protocol::describeReply(quint8(code), reply, {&channelName, &wordMeaning}), "text");
}

void TestProtocol::unknownCode() {
    QVERIFY(Protocol::find(0x00) == nullptr);
    QVERIFY(Protocol::find(0x13) == nullptr);
    QVERIFY(Protocol::frame(Command(0x13)).isEmpty());
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
