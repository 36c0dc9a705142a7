#include <QtTest>

#include "CanCodec.h"

using CanCodec::FilterRow;

namespace {
FilterRow row(bool inUse, int workMode, int bitWidth, const QString& id, const QString& mask) {
    FilterRow r;
    r.inUse = inUse;
    r.workMode = workMode;
    r.bitWidth = bitWidth;
    r.idText = id;
    r.maskText = mask;
    return r;
}
}  // namespace

class TestCanCodec : public QObject {
    Q_OBJECT
private slots:
    void hexDecoding_data();
    void hexDecoding();
    void baudRateFrame_data();
    void baudRateFrame();
    void filterFrame_data();
    void filterFrame();
    void filterReplies();
    void parseDataListEntry_data();
    void parseDataListEntry();
};

void TestCanCodec::hexDecoding_data() {
    QTest::addColumn<bool>("isRegister");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("word");  // the Write may send it: eight digits, blanks, commas, a 0x
    const auto row = [](const char* name, bool isRegister, const QString& text, const char* bytes,
                        bool word) {
        QTest::newRow(name) << isRegister << text << QByteArray::fromHex(bytes) << word;
    };
    row("prefixed", false, "0x1234ABCD", "1234abcd", true);
    row("bare", false, "1234ABCD", "1234abcd", true);
    row("capital X, a prefix as the field takes it", false, "0X0012003B", "0012003b", true);
    row("prefix only", false, "0x", "", false);
    row("odd digits pair from the right", false, "0x123", "0123", false);
    row("register blanks", true, "12 34 56 78", "12345678", true);
    row("register groups", true, "1234 5678", "12345678", true);
    row("register tabs, new lines", true, "12\t34\n56 78", "12345678", true);
    row("register leading blank", true, " 9ABCDEF0", "9abcdef0", true);
    row("register prefixed", true, "0x12345678", "0012345678", true);
    row("register full-width commas", true, QStringLiteral("12，34，56，78"), "12345678", true);
    row("register with a G", true, "12 34 5G 78", "01234578", false);
    row("register of nine digits", true, "123456789", "0123456789", false);
    row("register with dashes", true, "12-34-56-78", "12345678", false);
}

void TestCanCodec::hexDecoding() {
    QFETCH(bool, isRegister);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(isRegister ? CanCodec::decodeRegister(text) : CanCodec::decodeBitTiming(text), bytes);
    QTEST(CanCodec::isWordText(text), "word");
}

void TestCanCodec::baudRateFrame_data() {
    QTest::addColumn<int>("channal");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("channel 2 at 100K")
        << 2 << "0x0012003B" << QByteArray::fromHex("0012230600020012003b00000000000000");
    QTest::newRow("custom prefixed") << 1 << "0x1234ABCD"
                                     << QByteArray::fromHex("0012230600011234abcd00000000000000");
    QTest::newRow("custom bare") << 1 << "1234ABCD"
                                 << QByteArray::fromHex("0012230600011234abcd00000000000000");
    QTest::newRow("adaptive") << 3 << "0x00000000"
                              << QByteArray::fromHex("0012230600030000000000000000000000");
    // Words that do not decode to four bytes keep the layout, aligned to the right like a number.
    QTest::newRow("empty word") << 1 << "0x" << QByteArray::fromHex("0012230600010000000000000000000000");
    QTest::newRow("short word") << 1 << "0x123" << QByteArray::fromHex("0012230600010000012300000000000000");
    QTest::newRow("five bytes") << 1 << "0X0012003B"
                                << QByteArray::fromHex("0012230600010012003b00000000000000");
    QTest::newRow("nine bytes") << 1 << "0x112233445566778899"
                                << QByteArray::fromHex("0012230600016677889900000000000000");
}

void TestCanCodec::baudRateFrame() {
    QFETCH(int, channal);
    QFETCH(QString, text);
    QFETCH(QByteArray, frame);
    QCOMPARE(CanCodec::baudRateRequest(channal, text).frame(), frame);
}

void TestCanCodec::filterFrame_data() {
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("channal");
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<int>("workMode");
    QTest::addColumn<int>("bitWidth");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("default row 0") << 0 << 1 << true << 0 << 1 << "00 00 00 00"
                                   << "00 00 00 00"
                                   << QByteArray::fromHex("0012240b00810100000000000000000000");
    QTest::newRow("default row 5") << 5 << 1 << false << 0 << 1 << "00 00 00 00"
                                   << "00 00 00 00"
                                   << QByteArray::fromHex("0012240b05010100000000000000000000");
    QTest::newRow("row 3 list 16 bits")
        << 3 << 2 << true << 1 << 0 << "12 34 56 78"
        << "9ABCDEF0" << QByteArray::fromHex("0012240b038210123456789abcdef00000");
    QTest::newRow("grouped id") << 13 << 2 << false << 0 << 0 << "1234 5678"
                                << "00000000" << QByteArray::fromHex("0012240b0d020012345678000000000000");
    QTest::newRow("only low channel bits")
        << 0 << 0x13 << false << 0 << 1 << "00 00 00 00"
        << "00 00 00 00" << QByteArray::fromHex("0012240b00030100000000000000000000");
    QTest::newRow("short and long registers")
        << 1 << 1 << false << 0 << 1 << "12"
        << "11 22 33 44 55" << QByteArray::fromHex("0012240b01010100000012223344550000");
}

void TestCanCodec::filterFrame() {
    QFETCH(int, bank);
    QFETCH(int, channal);
    QFETCH(bool, inUse);
    QFETCH(int, workMode);
    QFETCH(int, bitWidth);
    QFETCH(QString, id);
    QFETCH(QString, mask);
    QFETCH(QByteArray, frame);
    QCOMPARE(CanCodec::filterRequest(bank, channal, row(inUse, workMode, bitWidth, id, mask)).frame(), frame);
}

// Each reply goes to the row it names, its registers in lower-case hex; the
// replies stop at the first that names no bank (the protocol's test has
// the bytes it reads and what it refuses).
void TestCanCodec::filterReplies() {
    const CanChannelValues before = CanChannelValues::defaults(1);
    CanChannelValues channel = before;
    CanCodec::applyFilterReplies(channel, {QByteArray::fromHex("000000028011010203040a0b0c0d"),
                                           QByteArray::fromHex("000000007fee1a00ff0700000000"),
                                           QByteArray::fromHex("0000000e8011010203040a0b0c0d"),
                                           QByteArray::fromHex("000000058011010203040a0b0c0d")});
    QCOMPARE(channel.banks[2], row(true, 1, 1, "01 02 03 04", "0a 0b 0c 0d"));
    QCOMPARE(channel.banks[0], row(false, 0, 0, "1a 00 ff 07", "00 00 00 00"));
    QCOMPARE(channel.banks[5], before.banks[5]);
}

void TestCanCodec::parseDataListEntry_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<int>("workMode");
    QTest::addColumn<int>("bitWidth");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("mask");
    QTest::newRow("as saved") << "1, 0, 1, 00 00 00 00, 00 00 00 00" << true << true << 0 << 1
                              << " 00 00 00 00"
                              << " 00 00 00 00";
    QTest::newRow("no blanks") << "0,1,0,12345678,9ABCDEF0" << true << false << 1 << 0 << "12345678"
                               << "9ABCDEF0";
    QTest::newRow("empty parts dropped") << "1,,1,,1,a,b" << true << true << 1 << 1 << "a"
                                         << "b";
    QTest::newRow("not numbers") << "x, y, z, a, b" << true << false << 0 << 0 << " a"
                                 << " b";
    QTest::newRow("tick only when 1") << "2, 7, -1, a, b" << true << false << 7 << -1 << " a"
                                      << " b";
    QTest::newRow("four fields") << "1, 1, 0, 00 00 00 00" << false << false << 0 << 0 << ""
                                 << "";
    QTest::newRow("empty") << "" << false << false << 0 << 0 << ""
                           << "";
}

void TestCanCodec::parseDataListEntry() {
    QFETCH(QString, entry);
    QFETCH(bool, ok);
    FilterRow r;
    QCOMPARE(CanCodec::parseDataListEntry(entry, &r), ok);
    if (!ok) return;
    QTEST(r.inUse, "inUse");
    QTEST(r.workMode, "workMode");
    QTEST(r.bitWidth, "bitWidth");
    QTEST(r.idText, "id");
    QTEST(r.maskText, "mask");
}

QTEST_GUILESS_MAIN(TestCanCodec)
#include "tst_cancodec.moc"
