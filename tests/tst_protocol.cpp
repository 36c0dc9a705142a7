#include <QtTest>

#include "Protocol.h"

using Protocol::Command;

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void frameBytes_data();
    void frameBytes();
    void longerPayloadIsRefused_data();
    void longerPayloadIsRefused();
    void catalogue_data();
    void catalogue();
    void unknownCode();
};

void TestProtocol::frameBytes_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("expected");

    auto row = [](const char* name, Command command, const char* payload, const char* expected) {
        QTest::newRow(name) << int(command) << QByteArray::fromHex(payload) << QByteArray::fromHex(expected);
    };
    row("hardware type query", Command::QueryHardwareType, "00", "0012150100000000000000000000000000");
    row("reset", Command::Reset, "00", "0012110100000000000000000000000000");
    row("baud-rate query channel 2", Command::QueryCanBaudRate, "02", "0012a40102000000000000000000000000");
    row("filter query channel 1 bank 5", Command::QueryCanFilter, "0105",
        "0012a50201050000000000000000000000");
    row("fiber query", Command::QueryFiberBaudRate, "00", "0012260100000000000000000000000000");
    row("route query", Command::QueryRoute, "00", "0012280100000000000000000000000000");
    row("set baud rate channel 2 100K", Command::SetCanBaudRate, "00020012003b",
        "0012230600020012003b00000000000000");
    row("set filter row 0 channel 1", Command::SetCanFilter, "0081010000000000000000",
        "0012240b00810100000000000000000000");
    row("set fiber 0B 05", Command::SetFiberBaudRate, "000b050000", "00122505000b0500000000000000000000");
    row("set route type 4 all on", Command::SetRoute, "004f8f0000c7cbcdce",
        "00122709004f8f0000c7cbcdce00000000");
    // A shorter payload is zero filled; the length byte stays the command's own.
    row("payload omitted", Command::QueryHardwareVersion, "", "0012010100000000000000000000000000");
}

void TestProtocol::frameBytes() {
    QFETCH(int, command);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, expected);
    QCOMPARE(expected.size(), 17);
    QCOMPARE(Protocol::frame(Command(command), payload), expected);
}

void TestProtocol::longerPayloadIsRefused_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("payloadSize");
    QTest::newRow("baud-rate word of 5 bytes") << int(Command::SetCanBaudRate) << 7;
    QTest::newRow("filter with 5-byte mask") << int(Command::SetCanFilter) << 12;
    QTest::newRow("more than a frame holds") << int(Command::SetRoute) << 20;
    QTest::newRow("query with two bytes") << int(Command::QueryHardwareType) << 2;
}

void TestProtocol::longerPayloadIsRefused() {
    QFETCH(int, command);
    QFETCH(int, payloadSize);
    QVERIFY(Protocol::frame(Command(command), QByteArray(payloadSize, '\x01')).isEmpty());
}

void TestProtocol::catalogue_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<int>("status");  // -1: not tested

    QTest::newRow("01 hardware version") << 0x01 << 0x01 << 10 << -1;
    QTest::newRow("11 reset") << 0x11 << 0x01 << 4000 << 0x81;
    QTest::newRow("12 firmware version") << 0x12 << 0x01 << 10 << -1;
    QTest::newRow("14 card number") << 0x14 << 0x01 << 10 << -1;
    QTest::newRow("15 hardware type") << 0x15 << 0x01 << 10 << -1;
    QTest::newRow("23 set CAN baud rate") << 0x23 << 0x06 << 50 << 0x81;
    QTest::newRow("24 set CAN filter") << 0x24 << 0x0B << 50 << 0x81;
    QTest::newRow("25 set fiber") << 0x25 << 0x05 << 50 << 0x81;
    QTest::newRow("26 query fiber") << 0x26 << 0x01 << 100 << -1;
    QTest::newRow("27 set route") << 0x27 << 0x09 << 50 << 0x81;
    QTest::newRow("28 query route") << 0x28 << 0x01 << 100 << -1;
    QTest::newRow("A4 query CAN baud rate") << 0xA4 << 0x01 << 100 << 0x86;
    QTest::newRow("A5 query CAN filter") << 0xA5 << 0x02 << 10 << -1;
}

void TestProtocol::catalogue() {
    QFETCH(int, code);
    QFETCH(int, length);
    QFETCH(int, timeout);
    QFETCH(int, status);
    const Protocol::CommandInfo* entry = Protocol::find(static_cast<unsigned char>(code));
    QVERIFY(entry != nullptr);
    QCOMPARE(int(entry->command), code);
    QCOMPARE(int(entry->payloadLength), length);
    QCOMPARE(entry->timeout, timeout);
    QCOMPARE(entry->statusTested, status >= 0);
    if (status >= 0) QCOMPARE(int(entry->requiredStatus), status);
}

void TestProtocol::unknownCode() {
    QVERIFY(Protocol::find(0x00) == nullptr);
    QVERIFY(Protocol::find(0x13) == nullptr);
    QVERIFY(Protocol::frame(Command(0x13)).isEmpty());
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
