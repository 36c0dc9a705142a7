// The values' rules at their own layer, which the window and the command
// line otherwise reach only through widgets and processes: a file that must
// give every value, the DataList reading, the route switches, the fiber
// codes, the comparison, the Write's list of problems and keys given twice.
#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>
#include <functional>

#include "CanCodec.h"
#include "FiberRules.h"
#include "JsonDuplicates.h"
#include "ParameterChecks.h"
#include "ParameterDiff.h"
#include "ParameterDocument.h"
#include "RouteRules.h"

namespace {

using Edit = std::function<void(QJsonObject&)>;
const QString kRule = QStringLiteral("8个十六进制数字（数字之间可有空格和逗号，可带0x）");

QJsonArray entries(const QString& fourth) {
    QJsonArray list;
    for (int bank = 0; bank < 14; ++bank)
        list.append(bank == 3 ? fourth : "0, 0, 1, 00 00 00 00, 00 00 00 00");
    return list;
}

// Two CAN channels, the given fiber codes, every route on.
QJsonObject file(const QJsonArray& baud) {
    const QJsonObject can1{
        {"ChannalID", 1}, {"BaudRate", "0x0012003B"}, {"DataList", entries("1, 1, 0, 12345678, 9ABCDEF0")}};
    const QJsonObject can2{
        {"ChannalID", 2}, {"BaudRate", "0x001C00E0"}, {"DataList", entries("0, 0, 1, 00000000, 00000000")}};
    QJsonArray route;
    for (int r = 0; r < 6; ++r) route.append(QString("1 1 1 1 1 1 ").replace(2 * r, 1, '0'));
    return {{"CANParam", QJsonArray{can1, can2}},
            {"FiberParam", QJsonObject{{"Baud", baud}, {"Model", -1}}},
            {"Route", route}};
}

// Changes member `key` of "CANParam" element `i`.
Edit element(int i, const QString& key, const QJsonValue& value) {
    return [=](QJsonObject& top) {
        QJsonArray can = top["CANParam"].toArray();
        QJsonObject object = can[i].toObject();
        object[key] = value;
        can[i] = object;
        top["CANParam"] = can;
    };
}

// One line per difference: channel, field, bank, given and device value.
QStringList lines(const QVector<FieldDifference>& differences) {
    QStringList result;
    for (const FieldDifference& d : differences)
        result << QStringList{d.channel, d.field, d.bankText(), d.givenValue, d.deviceValue}.join('|');
    return result;
}

}  // namespace

Q_DECLARE_METATYPE(Edit)

class TestValueRules : public QObject {
    Q_OBJECT
private slots:
    void applyComplete_data() {
        QTest::addColumn<int>("type");  // 2: one fiber channel, 3: two, 4: four
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("problem");  // "where：why"; empty: applied
        QTest::addColumn<QStringList>("ignored");
        const Edit none = [](QJsonObject&) {};
        QTest::newRow("every value") << 4 << none << "" << QStringList();
        QTest::newRow("fewer fiber codes than the device has") << 3 << Edit([](QJsonObject& f) {
            f["FiberParam"] = QJsonObject{{"Baud", QJsonArray{"05"}}};
        }) << "FiberParam.Baud：没有光纤2的代码" << QStringList();
        QTest::newRow("codes of fibers the device lacks")
            << 2 << none << ""
            << QStringList{"FiberParam.Baud[1]：设备没有光纤2，已忽略",
                           "FiberParam.Baud[2]：设备没有光纤3，已忽略",
                           "FiberParam.Baud[3]：设备没有光纤4，已忽略"};
        QTest::newRow("work mode 2") << 4 << element(0, "DataList", entries("1, 2, 0, 12345678, 00000000"))
                                     << "CANParam[0].DataList[3]：工作模式须为0或1，实为“2”" << QStringList();
        QTest::newRow("six fields") << 4 << element(1, "DataList", entries("1, 1, 0, 1, 2, 3"))
                                    << "CANParam[1].DataList[3]：须有5个以逗号分隔的字段，实有6个"
                                    << QStringList();
        QTest::newRow("a mask of three bytes")
            << 4 << element(0, "DataList", entries("0, 0, 1, 00000000, 00 00 00"))
            << "CANParam[0].DataList[3]：掩码寄存器：" + kRule << QStringList();
        QTest::newRow("bit 28 set") << 4 << element(1, "BaudRate", "0x1012003B")
                                    << "CANParam[1].BaudRate：字段外的位不为0：0x10000000" << QStringList();
        // A word its decoding calls faulty cannot go out either.
        QTest::newRow("9 Mbit/s")
            << 4 << element(1, "BaudRate", "0x00010000")
            << "CANParam[1].BaudRate：快于CAN的最高速率1000 kbit/s（位定时字0x00010000）" << QStringList();
        QTest::newRow("both elements channel 1")
            << 4 << element(1, "ChannalID", 1) << "CANParam[1].ChannalID：与CANParam[0]相同" << QStringList();
        QTest::newRow("channel 3 instead of 2")
            << 4 << element(1, "ChannalID", 3) << "CANParam：没有“ChannalID”为2的元素"
            << QStringList{"CANParam[1]：设备没有CAN通道3，已忽略"};
        QTest::newRow("five route rows") << 4 << Edit([](QJsonObject& f) {
            f["Route"] = QJsonArray{"0 1 ", "1 0 ", "0 0 ", "0 0 ", "0 0 "};
        }) << "Route：须有6项，实有5项" << QStringList();
    }

    // A file the Write would send only when it gives every value of the
    // device; otherwise the set stays as it was.
    void applyComplete() {
        QFETCH(int, type);
        QFETCH(Edit, edit);
        QFETCH(QString, problem);
        QJsonObject top = file(QJsonArray{"05", "0c", "01", "0a"});
        edit(top);
        const int fibers[] = {0, 0, 1, 2, 4};
        ParameterSet set = ParameterSet::defaults(2, fibers[type], type);
        const ParameterSet before = set;
        ParameterDocument::Problem found;
        QStringList ignored;
        QCOMPARE(ParameterDocument::applyComplete(top, &set, &found, &ignored), problem.isEmpty());
        QTEST(ignored, "ignored");
        if (!problem.isEmpty()) {
            QCOMPARE(found.text(), problem);
            QCOMPARE(set, before);
            return;
        }
        QCOMPARE(set.can[0].bitTimingText, QString("0x0012003B"));
        QCOMPARE(set.can[0].banks[3].workMode, 1);
        QCOMPARE(set.can[0].banks[3].idText, QString(" 12345678"));
        QCOMPARE(set.fiber.codes[0], 0x05);
        QCOMPARE(set.fiber.codes[1], type >= 3 ? 0x0c : 0x0b);  // a fiber it lacks keeps its default
        QVERIFY(!set.route.routes[1][1] && set.route.routes[1][0]);
    }

    void dataListInCodec_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("row");  // in use, work mode, bit width, ID, mask after it
        // The row starts in use, list mode, 16 bits, "aa".
        QTest::newRow("work mode 2 keeps list mode") << "0, 2, 1, 11, 22"
                                                     << "0 1 1  11  22";
        QTest::newRow("bit width 7 keeps 16 bits") << "1, 0, 7, 11, 22"
                                                   << "1 0 0  11  22";
        QTest::newRow("four fields change nothing") << "0, 0, 1, 11"
                                                    << "1 1 0 aa aa";
        QTest::newRow("extra fields dropped") << "0,0,1,11,22,33"
                                              << "0 0 1 11 22";
    }

    // The channel editor's reading of a file: a choice the table does not
    // have leaves the row's choice as it is.
    void dataListInCodec() {
        QFETCH(QString, entry);
        CanChannelValues channel = CanChannelValues::defaults(1);
        channel.banks[0] = {true, 1, 0, "aa", "aa"};
        CanCodec::applyJson(channel, {{"BaudRate", "0x001C00E0"}, {"DataList", QJsonArray{entry}}});
        const FilterRow& r = channel.banks[0];
        QTEST(QStringList({QString::number(r.inUse), QString::number(r.workMode), QString::number(r.bitWidth),
                           r.idText, r.maskText})
                  .join(' '),
              "row");
    }

    void routeSwitch_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QByteArray>("reply");  // read while the channel is off; empty: none
        QTest::addColumn<QByteArray>("frame");
        // Type 3: CAN1, CAN2, Fiber1, Fiber2; every route on at first.
        QTest::newRow("CAN2 off and on")
            << 1 << QByteArray() << QByteArray::fromHex("00122709000c0000008488000000000000");
        QTest::newRow("Fiber1 off and on")
            << 2 << QByteArray() << QByteArray::fromHex("00122709004484000000c0000000000000");
        // A Read while Fiber1 was off set CAN1→CAN2 and Fiber1→CAN1 only.
        QTest::newRow("Fiber1 routes read while off")
            << 2 << QByteArray::fromHex("12288100400000008000000000000000")
            << QByteArray::fromHex("0012270900400000008000000000000000");
    }

    // Off clears every route to and from the channel; on again leaves the
    // routes as they were set meanwhile.
    void routeSwitch() {
        QFETCH(int, channel);
        QFETCH(QByteArray, reply);
        RouteValues route = RouteValues::defaults();
        RouteRules::switchChannel(route, 3, channel, false);
        if (!reply.isEmpty()) RouteRules::applyReply(route, 3, Protocol::QueryRoute::parse(reply).values);
        RouteRules::switchChannel(route, 3, channel, true);
        QTEST(RouteRules::request(route, 3).frame(), "frame");
    }

    void fiberCodes_data() {
        QTest::addColumn<int>("fibers");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("two of four") << 2 << QByteArray::fromHex("122681050c010a")
                                     << QByteArray::fromHex("0012250500050c00000000000000000000");
        QTest::newRow("codes without rate") << 4 << QByteArray::fromHex("1226810d0c000a")
                                            << QByteArray::fromHex("0012250500000c000a0000000000000000");
    }

    // Reply codes reach the present channels only; a code the selector
    // lacks leaves the channel without one, sent as 00 like an absent one.
    void fiberCodes() {
        QFETCH(int, fibers);
        QFETCH(QByteArray, reply);
        FiberValues fiber = FiberValues::defaults();
        FiberRules::applyReply(fiber, fibers, Protocol::QueryFiberBaudRate::parse(reply).values);
        QTEST(FiberRules::request(fiber, fibers).frame(), "frame");
    }

    void compare_data() {
        QTest::addColumn<QString>("givenWord");
        QTest::addColumn<bool>("can2Off");    // on the given side; the device routes everything
        QTest::addColumn<bool>("routeToIt");  // CAN1→CAN2 enabled on the given side only
        QTest::addColumn<QStringList>("differences");
        const QString word = "0x001C00E0 (10 kbit/s，采样点 87.5 %，每位 16 个时间份额，SJW 1)";
        QTest::newRow("the same word otherwise written") << "0x001c00e0" << false << false << QStringList();
        QTest::newRow("a word text with a stray letter")
            << "0x001C00E0 x" << false << false
            << QStringList{"CAN1|波特率|-|0x001C00E0 x (" + kRule + ")|" + word};
        QTest::newRow("CAN2 switched off")
            << "0x001C00E0" << true << false << QStringList{"CAN2|开/关|-|0|1"};
        QTest::newRow("CAN2 off, a route to it on")
            << "0x001C00E0" << true << true << QStringList{"CAN1|路由→CAN2|-|1|0", "CAN2|开/关|-|0|1"};
    }

    // A channel switched off is one difference of its switch, not one per
    // route; a text the Write cannot send differs from the word it decodes to.
    void compare() {
        QFETCH(QString, givenWord);
        QFETCH(bool, can2Off);
        QFETCH(bool, routeToIt);
        ParameterSet device = ParameterSet::defaults(1, 0, 1);
        ParameterSet given = device;
        given.can[0].bitTimingText = givenWord;
        if (can2Off) RouteRules::switchChannel(given.route, 1, 1, false);
        if (routeToIt) {
            given.route.routes[0][1] = true;
            device.route.routes[0][1] = false;
        }
        QTEST(lines(ParameterDiff::compare(given, device)), "differences");
    }

    void problemList_data() {
        QTest::addColumn<int>("wrongRegisters");
        QTest::addColumn<QString>("last");  // the message's last line
        QTest::newRow("eight") << 8 << "CAN通道1 第4行 掩码寄存器：" + kRule;
        QTest::newRow("nine") << 9 << "……另有1处";
        QTest::newRow("eleven") << 11 << "……另有3处";
    }

    // The Write names at most eight problems, then how many more there are.
    void problemList() {
        QFETCH(int, wrongRegisters);
        ParameterSet set = ParameterSet::defaults(1, 0, 1);
        for (int i = 0; i < wrongRegisters; ++i)
            (i % 2 ? set.can[0].banks[size_t(i / 2)].maskText : set.can[0].banks[size_t(i / 2)].idText) =
                "1 2 3";
        const QStringList message =
            ParameterChecks::problemMessage(ParameterChecks::problems(set)).split('\n');
        QCOMPARE(message.first(), QString("以下参数有误，未向设备发送任何数据："));
        QCOMPARE(message.at(1), "CAN通道1 第1行 ID寄存器：" + kRule);
        QCOMPARE(message.size(), wrongRegisters > 8 ? 10 : 9);
        QTEST(message.last(), "last");
    }

    // Keys given twice within one object, wherever it is; the same key in two
    // objects is no duplicate, nor a key's text inside a string.
    void duplicateKeys_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("found");  // where, first line, line
        QTest::newRow("none") << QByteArray(
                                     R"({"CANParam": [{"BaudRate": "1"}, {"BaudRate": "2"}], "Route": []})")
                              << QStringList();
        QTest::newRow("in an element")
            << QByteArray("{\"CANParam\": [{},\n{\"BaudRate\": 1,\n\n\"BaudRate\": 2}]}")
            << QStringList{"CANParam[1].BaudRate 2 4"};
        QTest::newRow("at the top, three times")
            << QByteArray("{\"CANParam\": [],\n\"CANParam\": {},\n\"CANParam\": 1}")
            << QStringList{"CANParam 1 2", "CANParam 1 3"};
        QTest::newRow("written with an escape")
            << QByteArray(R"({"Route": [], "Rout\u0065": []})") << QStringList{"Route 1 1"};
        QTest::newRow("inside strings")
            << QByteArray("{\"a\": \"\\\"a\\\": 1\", \"b\": [\"a\", \"a\"], \"c\": {\"a\": 1}}")
            << QStringList();
        QTest::newRow("nested arrays")
            << QByteArray(R"([[{"k": 1, "k": 2}]])") << QStringList{"[0][0].k 1 1"};
        QTest::newRow("cut off") << QByteArray(R"({"a": 1, "a": [)") << QStringList{"a 1 1"};
        // Written by hand without blanks: a number ends where "}" or "]" begins.
        QTest::newRow("compact") << QByteArray(
                                        R"({"CANParam":[{"ChannalID":1},{"ChannalID":2,"ChannalID":2}],)"
                                        R"("FiberParam":{"Model":-1},"Route":[1],"Route":[]})")
                                 << QStringList{"CANParam[1].ChannalID 1 1", "Route 1 1"};
    }

    void duplicateKeys() {
        QFETCH(QByteArray, text);
        QStringList found;
        for (const JsonDuplicates::Duplicate& d : JsonDuplicates::find(text))
            found << QString("%1 %2 %3").arg(d.where).arg(d.firstLine).arg(d.line);
        QTEST(found, "found");
    }
};

QTEST_GUILESS_MAIN(TestValueRules)
#include "tst_valuerules.moc"
