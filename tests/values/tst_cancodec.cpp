#include <QJsonArray>
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

QJsonArray defaultDataList() {
    QJsonArray list{"1, 0, 1, 00 00 00 00, 00 00 00 00"};
    for (int i = 1; i < 14; ++i) list.append("0, 0, 1, 00 00 00 00, 00 00 00 00");
    return list;
}

// Row values that differ from the defaults everywhere.
void fillRows(CanChannelValues& channel) {
    for (int bank = 0; bank < 14; ++bank)
        channel.banks[size_t(bank)] = row(bank % 2 == 1, bank % 3 == 0 ? 1 : 0, bank % 4 == 0 ? 1 : 0,
                                          QString("%1 00 00 00").arg(bank, 2, 16, QChar('0')),
                                          QString("FF FF FF %1").arg(bank, 2, 16, QChar('0')));
}

// A channel showing the custom word `text`.
CanChannelValues customWord(int channelId, const QString& text) {
    CanChannelValues channel = CanChannelValues::defaults(channelId);
    CanCodec::selectBaudRate(channel, CanCodec::kCustomIndex);
    channel.bitTimingText = text;
    return channel;
}
}  // namespace

Q_DECLARE_METATYPE(QList<QByteArray>)

class TestCanCodec : public QObject {
    Q_OBJECT
private slots:
    void hexDecoding_data();
    void hexDecoding();
    void decoderIsQts_data();
    void decoderIsQts();
    void baudRateFrame_data();
    void baudRateFrame();
    void filterFrame_data();
    void filterFrame();
    void defaultFilterFrames();
    void filterReplies_data();
    void filterReplies();
    void dataListEntry_data();
    void dataListEntry();
    void wordReadBack_data();
    void wordReadBack();
    void defaultJson();
    void jsonRoundTrip();
    void jsonBaudRate_data();
    void jsonBaudRate();
    void malformedDataList_data();
    void malformedDataList();
    void outOfRangeFlagsLeaveChoices();
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

// The one decoder against Qt's own, on the same texts: what a frame takes
// (the last four bytes, zeros in front) and what the whole text makes.
void TestCanCodec::decoderIsQts_data() {
    QTest::addColumn<QString>("text");
    for (const QString& text :
         {QString(), QString("0"), QString("123"), QString("12 34 56 78"), QString("0x1234ABCD"),
          QString("0X0012003B"), QString("112233445566778899"), QString("1x2x3"), QString("gg12"),
          QStringLiteral("12，34 56，78"), QStringLiteral("\uFF11\uFF12ab"), QStringLiteral("\u00E912 3")})
        QTest::newRow(qPrintable(text.isEmpty() ? QString("(empty)") : text)) << text;
}

void TestCanCodec::decoderIsQts() {
    QFETCH(QString, text);
    const auto fitted = [](const QByteArray& bytes) {
        const QByteArray last = bytes.right(CanCodec::kWordSize);
        return QByteArray(CanCodec::kWordSize - last.size(), '\0') + last;
    };
    const auto frameBytes = [](const WordText& word) {
        return QByteArray(word.frameBytes().data(), CanCodec::kWordSize);
    };
    const QByteArray qt = QByteArray::fromHex(text.toLatin1());
    QCOMPARE(CanCodec::decodeHex(text), qt);
    QCOMPARE(CanCodec::decodeRegister(text), qt);
    QCOMPARE(frameBytes(RegisterText(text)), fitted(qt));
    // A bit-timing text without its prefixes, then the same decoding.
    QString digits = text;
    if (digits.startsWith("0X")) digits.remove(0, 2);
    digits.remove("0x");
    QCOMPARE(CanCodec::decodeBitTiming(text), QByteArray::fromHex(digits.toLatin1()));
    QCOMPARE(frameBytes(BitTimingText(text)), fitted(QByteArray::fromHex(digits.toLatin1())));
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

void TestCanCodec::defaultFilterFrames() {
    const QList<QByteArray> frames = CanCodec::filterFrames(CanChannelValues::defaults(1));
    QCOMPARE(frames.size(), 14);
    QCOMPARE(frames.at(0), QByteArray::fromHex("0012240b00810100000000000000000000"));
    QCOMPARE(frames.at(5), QByteArray::fromHex("0012240b05010100000000000000000000"));
    QCOMPARE(frames.at(13), QByteArray::fromHex("0012240b0d010100000000000000000000"));
}

// Each reply goes to the row it names, not to its place, its registers in
// lower-case hex; the replies stop at the first that names no bank (bank 14
// or none: the protocol's test has the bytes it reads and what it refuses).
void TestCanCodec::filterReplies_data() {
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QStringList>(
        "banks");  // "bank: in use, work mode, bit width|ID|mask"; the rest as before
    QTest::newRow("a reply of no bank")
        << QList<QByteArray>{QByteArray::fromHex("000000028011010203040a0b0c0d"),
                             QByteArray::fromHex("000000007fee1a00ff0700000000"),
                             QByteArray::fromHex("0000000e8011010203040a0b0c0d"),
                             QByteArray::fromHex("000000058011010203040a0b0c0d")}
        << QStringList{"0: 0 0 0|1a 00 ff 07|00 00 00 00", "2: 1 1 1|01 02 03 04|0a 0b 0c 0d"};
    QTest::newRow("bank 14 ends the list")
        << QList<QByteArray>{QByteArray::fromHex("000000028011010203040a0b0c0d"),
                             QByteArray::fromHex("000000000000333333334444444400"),
                             QByteArray::fromHex("0000000e8000555555556666666600"),
                             QByteArray::fromHex("000000078000777777778888888800")}
        << QStringList{"0: 0 0 0|33 33 33 33|44 44 44 44", "2: 1 1 1|01 02 03 04|0a 0b 0c 0d"};
}

void TestCanCodec::filterReplies() {
    QFETCH(QList<QByteArray>, replies);
    const CanChannelValues before = CanChannelValues::defaults(1);
    CanChannelValues channel = before;
    CanCodec::applyFilterReplies(channel, replies);
    QStringList banks;
    for (int bank = 0; bank < 14; ++bank) {
        const FilterRow& r = channel.banks[size_t(bank)];
        if (r == before.banks[size_t(bank)]) continue;
        banks << QString("%1: %2 %3 %4|%5|%6")
                     .arg(bank)
                     .arg(int(r.inUse))
                     .arg(r.workMode)
                     .arg(r.bitWidth)
                     .arg(r.idText, r.maskText);
    }
    QTEST(banks, "banks");
}

// The same entries read leniently (the channel editor) and strictly (Open,
// the command line), each onto a bank in use, list mode, 16 bits, "aa".
void TestCanCodec::dataListEntry_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("lenient");  // in use, work mode, bit width|ID|mask afterwards
    QTest::addColumn<QString>("strict");
    QTest::addColumn<QString>("strictSays");  // fields found, then each flag that is not 0 or 1
    const auto row = [](const char* name, const QString& entry, const char* lenient, const char* strict,
                        const char* says) {
        QTest::newRow(name) << entry << QString(lenient) << QString(strict) << QString(says);
    };
    row("as saved", "1, 0, 1, 00 00 00 00, 00 00 00 00", "1 0 1| 00 00 00 00| 00 00 00 00",
        "1 0 1| 00 00 00 00| 00 00 00 00", "5");
    row("no blanks", "0,1,0,12345678,9ABCDEF0", "0 1 0|12345678|9ABCDEF0", "0 1 0|12345678|9ABCDEF0", "5");
    row("empty parts dropped", "1,,1,,1,a,b", "1 1 1|a|b", "1 1 1|a|b", "5");
    row("blanks around flags", " 1 , 0 ,0 , a, b", "1 0 0| a| b", "1 0 0| a| b", "5");
    row("not numbers", "x, y, z, a, b", "0 0 0| a| b", "1 1 0| a| b", "5 使用x 工作模式y 位数z");
    row("tick only when 1", "2, 7, -1, a, b", "0 1 0| a| b", "1 1 0| a| b", "5 使用2 工作模式7 位数-1");
    row("leading zeros", "01, 00, 1, a, b", "1 0 1| a| b", "1 1 1| a| b", "5 使用01 工作模式00");
    row("six fields", "0, 0, 1, 11, 22, 33", "0 0 1| 11| 22", "1 1 0|aa|aa", "6");
    row("four fields", "1, 1, 0, 00 00 00 00", "1 1 0|aa|aa", "1 1 0|aa|aa", "4");
    row("empty", "", "1 1 0|aa|aa", "1 1 0|aa|aa", "0");
}

void TestCanCodec::dataListEntry() {
    QFETCH(QString, entry);
    const char* const flagNames[] = {"使用", "工作模式", "位数"};
    for (const CanCodec::EntryReading reading :
         {CanCodec::EntryReading::Lenient, CanCodec::EntryReading::Strict}) {
        const bool strict = reading == CanCodec::EntryReading::Strict;
        FilterRow r = row(true, 1, 0, "aa", "aa");
        const CanCodec::DataListEntry read = CanCodec::readDataListEntry(entry, reading);
        CanCodec::applyDataListEntry(r, read);
        QTEST(QString("%1 %2 %3|%4|%5")
                  .arg(int(r.inUse))
                  .arg(r.workMode)
                  .arg(r.bitWidth)
                  .arg(r.idText, r.maskText),
              strict ? "strict" : "lenient");
        if (!strict) {
            QVERIFY(read.badFlags.isEmpty());
            continue;
        }
        QStringList says{QString::number(read.count)};
        for (const CanCodec::DataListEntry::BadFlag& bad : read.badFlags)
            says << flagNames[bad.flag] + bad.text;
        QTEST(says.join(' '), "strictSays");
    }
}

// A word read from the device selects the entry that holds it, the first
// and the last named rate as any other; any other word is "自定义".
void TestCanCodec::wordReadBack_data() {
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    const char* const words[] = {"00450257", "001C00E0", "000500E0", "00780031", "0067002C", "004B0018",
                                 "0012003B", "0012002F", "0027000E", "00120017", "00160008", "0012000B",
                                 "00240005", "00240004", "00120005", "00000000", "FFFFFFFF"};
    const char* const labels[] = {"5K",   "10K",  "20K",  "40K",  "50K",  "80K",   "100K",   "125K",  "200K",
                                  "250K", "400K", "500K", "666K", "800K", "1000K", "自适应", "自定义"};
    for (int i = 0; i < 17; ++i)
        QTest::newRow(labels[i]) << QByteArray::fromHex(words[i]) << i << QString("0x") + words[i];
    QTest::newRow("another word") << QByteArray::fromHex("0012001d") << 16 << "0x0012001d";
    QTest::newRow("five bytes") << QByteArray::fromHex("000012003b") << 16 << "0x000012003b";
    QTest::newRow("empty") << QByteArray() << 16 << "0x";
}

void TestCanCodec::wordReadBack() {
    QFETCH(QByteArray, word);
    CanChannelValues channel = CanChannelValues::defaults(1);
    CanCodec::applyWord(channel, word);
    QTEST(channel.baudRateIndex, "index");
    QTEST(channel.bitTimingText.text(), "text");
}

void TestCanCodec::defaultJson() {
    const QJsonObject expected{{"ChannalID", 2}, {"BaudRate", "0x001C00E0"}, {"DataList", defaultDataList()}};
    QCOMPARE(CanCodec::toJson(CanChannelValues::defaults(2)), expected);
}

void TestCanCodec::jsonRoundTrip() {
    CanChannelValues source = customWord(1, "0x1234ABCD");
    fillRows(source);
    const QJsonObject saved = CanCodec::toJson(source);
    QCOMPARE(saved.value("DataList").toArray().at(3).toString(),
             QStringLiteral("1, 1, 0, 03 00 00 00, FF FF FF 03"));

    CanChannelValues target = CanChannelValues::defaults(3);
    CanCodec::applyJson(target, saved);
    QCOMPARE(target.baudRateIndex, 16);
    QCOMPARE(target.bitTimingText.text(), QStringLiteral("0x1234abcd"));
    QCOMPARE(CanCodec::baudRateRequest(target).frame().mid(6, 4), QByteArray::fromHex("1234abcd"));
    for (size_t bank = 0; bank < 14; ++bank) {
        const FilterRow& read = target.banks[bank];
        const FilterRow& written = source.banks[bank];
        QCOMPARE(read.inUse, written.inUse);
        QCOMPARE(read.workMode, written.workMode);
        QCOMPARE(read.bitWidth, written.bitWidth);
        // The blank after each comma stays in front of the register texts.
        QCOMPARE(read.idText, " " + written.idText);
        QCOMPARE(read.maskText, " " + written.maskText);
        QCOMPARE(CanCodec::filterFrames(target).at(int(bank)).mid(6),
                 CanCodec::filterFrames(source).at(int(bank)).mid(6));
    }
    // Saved again, two blanks follow the comma.
    QCOMPARE(CanCodec::toJson(target).value("DataList").toArray().at(3).toString(),
             QStringLiteral("1, 1, 0,  03 00 00 00,  FF FF FF 03"));
}

void TestCanCodec::jsonBaudRate_data() {
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("table entry") << QJsonValue("0x0012003B") << 6 << "0x0012003B";
    QTest::newRow("lower case entry") << QJsonValue("0x0012003b") << 6 << "0x0012003B";
    QTest::newRow("unknown") << QJsonValue("0x0012001D") << 16 << "0x0012001d";
    QTest::newRow("custom entry") << QJsonValue("0xFFFFFFFF") << 16 << "0xFFFFFFFF";
    QTest::newRow("capital X") << QJsonValue("0X0012003B") << 6 << "0x0012003B";
    QTest::newRow("missing") << QJsonValue(QJsonValue::Undefined) << 16 << "0x";
    QTest::newRow("not a string") << QJsonValue(1234) << 16 << "0x";
}

// A custom word on the page before: the file's value replaces it.
void TestCanCodec::jsonBaudRate() {
    QFETCH(QJsonValue, value);
    CanChannelValues channel = customWord(1, "0x12345678");
    QJsonObject object{{"ChannalID", 1}, {"DataList", defaultDataList()}};
    if (!value.isUndefined()) object.insert("BaudRate", value);
    CanCodec::applyJson(channel, object);
    QTEST(channel.baudRateIndex, "index");
    QTEST(channel.bitTimingText.text(), "text");
}

void TestCanCodec::malformedDataList_data() {
    QTest::addColumn<QJsonObject>("object");
    QTest::addColumn<QVector<int>>("applied");  // rows that take the file's values

    QJsonArray full;
    for (int i = 0; i < 14; ++i) full.append("1, 1, 0, 12 34 56 78, 9A BC DE F0");
    QJsonArray shortList = QJsonArray{full.at(0), full.at(1), full.at(2)};
    QJsonArray holes = full;
    holes.replace(4, "1, 1, 0, 12 34 56 78");
    holes.replace(6, "");
    holes.replace(8, 17);
    holes.replace(10, "1,,1,,0");

    QTest::newRow("missing") << QJsonObject{{"BaudRate", "0x001C00E0"}} << QVector<int>{};
    QTest::newRow("not an array") << QJsonObject{{"BaudRate", "0x001C00E0"}, {"DataList", "1, 1, 0, a, b"}}
                                  << QVector<int>{};
    QTest::newRow("three elements") << QJsonObject{{"BaudRate", "0x001C00E0"}, {"DataList", shortList}}
                                    << QVector<int>{0, 1, 2};
    QTest::newRow("short elements") << QJsonObject{{"BaudRate", "0x001C00E0"}, {"DataList", holes}}
                                    << QVector<int>{0, 1, 2, 3, 5, 7, 9, 11, 12, 13};
}

void TestCanCodec::malformedDataList() {
    QFETCH(QJsonObject, object);
    QFETCH(QVector<int>, applied);
    CanChannelValues channel = CanChannelValues::defaults(1);
    fillRows(channel);
    const CanChannelValues before = channel;
    CanCodec::applyJson(channel, object);
    for (int bank = 0; bank < 14; ++bank)
        QCOMPARE(channel.banks[size_t(bank)], applied.contains(bank)
                                                  ? row(true, 1, 0, " 12 34 56 78", " 9A BC DE F0")
                                                  : before.banks[size_t(bank)]);
}

void TestCanCodec::outOfRangeFlagsLeaveChoices() {
    CanChannelValues channel = CanChannelValues::defaults(1);
    QJsonArray list = defaultDataList();
    list.replace(0, "0, 2, -1, 11 11 11 11, 22 22 22 22");
    list.replace(1, "1, 1, 7, 33 33 33 33, 44 44 44 44");
    list.replace(2, "1, x, 0, 55 55 55 55, 66 66 66 66");
    channel.banks[0].workMode = 1;
    CanCodec::applyJson(channel, {{"BaudRate", "0x001C00E0"}, {"DataList", list}});
    // Row 0: both numbers out of range, the rest still applied.
    QVERIFY(!channel.banks[0].inUse);
    QCOMPARE(channel.banks[0].workMode, 1);
    QCOMPARE(channel.banks[0].bitWidth, 1);
    QCOMPARE(channel.banks[0].idText, QStringLiteral(" 11 11 11 11"));
    // Row 1: work mode applied, bit width left.
    QVERIFY(channel.banks[1].inUse);
    QCOMPARE(channel.banks[1].workMode, 1);
    QCOMPARE(channel.banks[1].bitWidth, 1);
    // Row 2: a part that is not a number reads as 0.
    channel.banks[2].workMode = 1;
    CanCodec::applyJson(channel, {{"BaudRate", "0x001C00E0"}, {"DataList", list}});
    QCOMPARE(channel.banks[2].workMode, 0);
    QCOMPARE(channel.banks[2].bitWidth, 0);
}

QTEST_GUILESS_MAIN(TestCanCodec)
#include "tst_cancodec.moc"
