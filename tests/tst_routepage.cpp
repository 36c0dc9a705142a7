#include <QApplication>
#include <QJsonArray>
#include <QLabel>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

#include "CheckButton.h"
#include "RouteParamWidget.h"

namespace {
QTableWidget* table(RouteParamWidget& page) {
    return page.findChild<QTableWidget*>("m_tableWidgetRouteMap");
}

CheckButton* button(RouteParamWidget& page, int row, int column) {
    return qobject_cast<CheckButton*>(table(page)->cellWidget(row, column));
}

bool isSelfCell(int row, int column) {
    return column == row + 1;
}

// Every route button's check state as one string per row, rows 1...6 and
// columns 2...7, so that whole maps can be compared at once.
QStringList checkMap(RouteParamWidget& page) {
    QStringList map;
    for (int r = 1; r <= 6; ++r) {
        QString row;
        for (int c = 2; c <= 7; ++c) row += button(page, r, c)->isChecked() ? '1' : '0';
        map << row;
    }
    return map;
}

QStringList enabledMap(RouteParamWidget& page) {
    QStringList map;
    for (int r = 1; r <= 6; ++r) {
        QString row;
        for (int c = 2; c <= 7; ++c) row += button(page, r, c)->isEnabled() ? '1' : '0';
        map << row;
    }
    return map;
}

QByteArray reply(std::initializer_list<std::pair<int, unsigned char>> bytes, unsigned char fill = 0) {
    QByteArray data(16, char(fill));
    for (const auto& [index, value] : bytes) data[index] = char(value);
    return data;
}

void applyReply(RouteParamWidget& page, const QByteArray& data) {
    page.setRouteReply(reinterpret_cast<const unsigned char*>(data.constData()));
}

void clickOnOff(RouteParamWidget& page, int row) {
    QTest::mousePress(button(page, row, 0), Qt::LeftButton);
}

const QStringList kAllOnType4 = {"011111", "101111", "110111", "111011", "111101", "111110"};
}  // namespace

class TestRoutePage : public QObject {
    Q_OBJECT
private slots:
    void newPage();
    void routeFrame_data();
    void routeFrame();
    void switchedOffRowGivesZero();
    void replyAllOnesOnType4();
    void replyOnType2ReadsOnlyItsBytes();
    void switchingRowOffAndOn_data();
    void switchingRowOffAndOn();
    void toJson();
    void setDefaultOnType3LeavesAbsentChannels();
    void hardwareTypeVisibility_data();
    void hardwareTypeVisibility();
    void unknownTypeChangesNothing();
    void fromJsonRoundTrip();
    void fromJsonRejects_data();
    void fromJsonRejects();
    void retranslate();
    void keys_data();
    void keys();
};

void TestRoutePage::newPage() {
    RouteParamWidget page;
    QTableWidget* map = table(page);
    QCOMPARE(map->rowCount(), 7);
    QCOMPARE(map->columnCount(), 8);
    // 400 x 250, or larger where the names need more.
    QVERIFY(map->width() >= 400 && map->height() >= 250);
    QVERIFY(map->isHidden());
    QVERIFY(page.findChild<QLabel*>("m_labelHint")->isHidden());
    QVERIFY(page.findChild<QLabel*>("m_labelHint2")->isHidden());
    QCOMPARE(map->item(0, 0)->flags() & (Qt::ItemIsSelectable | Qt::ItemIsEditable), Qt::ItemFlags());
    for (int row = 1; row <= 6; ++row) QVERIFY(button(page, row, 0)->isChecked());
    for (int r = 1; r <= 6; ++r)
        for (int c = 2; c <= 7; ++c) {
            QCOMPARE(button(page, r, c)->isChecked(), !isSelfCell(r, c));
            QCOMPARE(button(page, r, c)->isEnabled(), !isSelfCell(r, c));
        }
    QCOMPARE(page.routeFrame(), QByteArray::fromHex("0012270900408000000000000000000000"));
}

void TestRoutePage::routeFrame_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("type 1") << 1 << QByteArray::fromHex("0012270900408000000000000000000000");
    QTest::newRow("type 2") << 2 << QByteArray::fromHex("001227090048880000c000000000000000");
    QTest::newRow("type 3") << 3 << QByteArray::fromHex("00122709004c8c0000c4c8000000000000");
    QTest::newRow("type 4") << 4 << QByteArray::fromHex("00122709004f8f0000c7cbcdce00000000");
    QTest::newRow("unknown type") << 7 << QByteArray::fromHex("0012270900000000000000000000000000");
}

void TestRoutePage::routeFrame() {
    QFETCH(int, type);
    QFETCH(QByteArray, frame);
    RouteParamWidget page;
    page.setHardwareType(type);
    page.setDefault();
    QCOMPARE(page.routeFrame(), frame);
}

void TestRoutePage::switchedOffRowGivesZero() {
    RouteParamWidget page;
    page.setHardwareType(4);
    page.setDefault();
    // Off without the handler, so the row's route buttons stay checked.
    button(page, 1, 0)->setChecked(false);
    button(page, 5, 0)->setChecked(false);
    QVERIFY(button(page, 1, 3)->isChecked());
    QCOMPARE(page.routeFrame(), QByteArray::fromHex("0012270900008f0000c7cb00ce00000000"));
}

void TestRoutePage::replyAllOnesOnType4() {
    RouteParamWidget page;
    page.setHardwareType(4);
    clickOnOff(page, 2);
    button(page, 4, 0)->setChecked(false);
    button(page, 6, 3)->setChecked(false);
    applyReply(page, reply({}, 0xff));
    QCOMPARE(checkMap(page), kAllOnType4);
    const QList<bool> onOff = {true, false, true, false, true, true};
    for (int r = 1; r <= 6; ++r) QCOMPARE(button(page, r, 0)->isChecked(), onOff.at(r - 1));
    for (int r = 1; r <= 6; ++r) QVERIFY(!button(page, r, r + 1)->isEnabled());
    // Enabled states are the reply's business no more than the switches are.
    QVERIFY(!button(page, 2, 2)->isEnabled());
}

void TestRoutePage::replyOnType2ReadsOnlyItsBytes() {
    RouteParamWidget page;
    page.setHardwareType(2);
    // Byte 4: CAN1 row, bits 6, 5, 4 (only bit 6 is a channel). Byte 5:
    // CAN2 row, Fiber1 only. Byte 8: Fiber1 row, CAN1 only. Bytes 9 ... 11
    // belong to absent rows and must not be read.
    applyReply(page, reply({{4, 0x70}, {5, 0x08}, {8, 0x80}, {9, 0x00}, {10, 0x00}, {11, 0x00}}, 0xff));
    QCOMPARE(checkMap(page), QStringList({"010111", "001111", "100111", "111011", "111101", "111110"}));
    QCOMPARE(page.routeFrame(), QByteArray::fromHex("0012270900400800008000000000000000"));
}

void TestRoutePage::switchingRowOffAndOn_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("offChecked");
    QTest::addColumn<QStringList>("offEnabled");
    QTest::addColumn<QStringList>("onChecked");
    // Type 2, Fiber1 off: (3,2), (3,3), (1,4), (2,4) are cut.
    QTest::newRow("type 2 Fiber1") << 2 << 3
                                   << QStringList{"010111", "100111", "000111", "111011", "111101", "111110"}
                                   << QStringList{"010111", "100111", "000111", "111011", "111101", "111110"}
                                   << QStringList{"010111", "100111", "000111", "111011", "111101", "111110"};
    QTest::newRow("type 4 CAN1") << 4 << 1
                                 << QStringList{"000000", "001111", "010111", "011011", "011101", "011110"}
                                 << QStringList{"000000", "001111", "010111", "011011", "011101", "011110"}
                                 << QStringList{"000000", "001111", "010111", "011011", "011101", "011110"};
}

void TestRoutePage::switchingRowOffAndOn() {
    QFETCH(int, type);
    QFETCH(int, row);
    QFETCH(QStringList, offChecked);
    QFETCH(QStringList, offEnabled);
    QFETCH(QStringList, onChecked);
    RouteParamWidget page;
    page.setHardwareType(type);

    clickOnOff(page, row);
    QVERIFY(!button(page, row, 0)->isChecked());
    QVERIFY(button(page, row, 0)->isEnabled());
    QCOMPARE(checkMap(page), offChecked);
    QCOMPARE(enabledMap(page), offEnabled);

    clickOnOff(page, row);
    QVERIFY(button(page, row, 0)->isChecked());
    QCOMPARE(checkMap(page), onChecked);
    // Back on: everything but the self cells can be clicked again.
    for (int r = 1; r <= 6; ++r)
        for (int c = 2; c <= 7; ++c) QCOMPARE(button(page, r, c)->isEnabled(), !isSelfCell(r, c));
}

void TestRoutePage::toJson() {
    RouteParamWidget page;
    page.setHardwareType(4);
    page.setDefault();
    QCOMPARE(page.toJson(), QJsonArray({"0 1 1 1 1 1 ", "1 0 1 1 1 1 ", "1 1 0 1 1 1 ", "1 1 1 0 1 1 ",
                                        "1 1 1 1 0 1 ", "1 1 1 1 1 0 "}));

    // Type 1 still writes all six rows; absent ones show what their buttons hold.
    RouteParamWidget small;
    small.setHardwareType(1);
    applyReply(small, reply({}, 0x00));
    button(small, 5, 3)->setChecked(false);
    QCOMPARE(small.toJson(), QJsonArray({"0 0 1 1 1 1 ", "0 0 1 1 1 1 ", "1 1 0 1 1 1 ", "1 1 1 0 1 1 ",
                                         "1 0 1 1 0 1 ", "1 1 1 1 1 0 "}));
}

void TestRoutePage::setDefaultOnType3LeavesAbsentChannels() {
    RouteParamWidget page;
    page.setHardwareType(4);
    for (int row = 1; row <= 6; ++row) clickOnOff(page, row);
    page.setHardwareType(3);
    page.setDefault();
    QCOMPARE(checkMap(page), QStringList({"011100", "101100", "110100", "111000", "000000", "000000"}));
    QCOMPARE(enabledMap(page), QStringList({"011100", "101100", "110100", "111000", "000000", "000000"}));
    for (int row = 1; row <= 6; ++row) QCOMPARE(button(page, row, 0)->isChecked(), row <= 4);
}

void TestRoutePage::hardwareTypeVisibility_data() {
    QTest::addColumn<QVector<int>>("types");
    QTest::addColumn<int>("channels");
    QTest::newRow("type 1") << QVector<int>{1} << 2;
    QTest::newRow("type 2") << QVector<int>{2} << 3;
    QTest::newRow("type 3") << QVector<int>{3} << 4;
    QTest::newRow("type 4") << QVector<int>{4} << 6;
    QTest::newRow("type 4 after type 1") << QVector<int>{1, 4} << 6;
    QTest::newRow("type 3 after type 2") << QVector<int>{2, 3} << 4;
    QTest::newRow("type 2 after type 4") << QVector<int>{4, 2} << 3;
    QTest::newRow("unknown after type 1") << QVector<int>{1, 9} << 6;
}

void TestRoutePage::hardwareTypeVisibility() {
    QFETCH(QVector<int>, types);
    QFETCH(int, channels);
    RouteParamWidget page;
    for (int type : types) page.setHardwareType(type);
    QTableWidget* map = table(page);
    QVERIFY(!map->isHidden());
    QVERIFY(!page.findChild<QLabel*>("m_labelHint")->isHidden());
    QVERIFY(!page.findChild<QLabel*>("m_labelHint2")->isHidden());
    QVERIFY(!map->isRowHidden(0));
    QVERIFY(!map->isColumnHidden(0) && !map->isColumnHidden(1));
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(map->isRowHidden(i + 1), i >= channels);
        QCOMPARE(map->isColumnHidden(i + 2), i >= channels);
    }
    // The switches sit in the middle of their cells, however wide a column grew.
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QRect cell = map->visualRect(map->model()->index(1, 0));
    QVERIFY(qAbs(button(page, 1, 0)->geometry().center().x() - cell.center().x()) <= 1);

    page.hideParam();
    QVERIFY(map->isHidden());
    QVERIFY(page.findChild<QLabel*>("m_labelHint")->isHidden());
    QVERIFY(page.findChild<QLabel*>("m_labelHint2")->isHidden());
}

void TestRoutePage::unknownTypeChangesNothing() {
    RouteParamWidget page;
    page.setHardwareType(4);
    clickOnOff(page, 2);
    const QStringList checked = checkMap(page);
    const QStringList enabled = enabledMap(page);
    page.setHardwareType(5);
    page.setDefault();
    applyReply(page, reply({}, 0xff));
    clickOnOff(page, 2);
    QCOMPARE(checkMap(page), checked);
    QCOMPARE(enabledMap(page), enabled);
    QCOMPARE(page.routeFrame(), QByteArray::fromHex("0012270900000000000000000000000000"));
}

void TestRoutePage::fromJsonRoundTrip() {
    RouteParamWidget source;
    source.setHardwareType(4);
    applyReply(source, reply({{4, 0x48}, {5, 0x81}, {8, 0x02}, {9, 0xc0}, {10, 0x00}, {11, 0x0e}}));
    const QJsonArray saved = source.toJson();
    QCOMPARE(saved, QJsonArray({"0 1 1 0 0 0 ", "1 0 0 0 0 1 ", "0 0 0 0 1 0 ", "1 1 0 0 0 0 ",
                                "0 0 0 0 0 0 ", "0 0 1 1 1 0 "}));

    RouteParamWidget target;
    target.setHardwareType(4);
    QVERIFY(target.fromJson(saved));
    QCOMPARE(target.toJson(), saved);
    QCOMPARE(target.routeFrame(), QByteArray::fromHex("00122709004881000002c0000e00000000"));

    // Without the trailing blanks, and with self cells marked on: those stay off.
    RouteParamWidget other;
    other.setHardwareType(4);
    QVERIFY(other.fromJson(QJsonArray(
        {"1 1 1 1 1 1", "1 1 1 1 1 1", "0 0 0 0 0 0", "1 1 1 1 1 1 ", "1 1 1 1 1 1", "1 0 1 0 1 0"})));
    QCOMPARE(checkMap(other), QStringList({"011111", "101111", "000000", "111011", "111101", "101010"}));

    // Only the present channels take the file's values.
    RouteParamWidget small;
    small.setHardwareType(2);
    QVERIFY(small.fromJson(QJsonArray(
        {"0 0 0 0 0 0 ", "0 0 0 0 0 0 ", "0 0 0 0 0 0 ", "0 0 0 0 0 0 ", "0 0 0 0 0 0 ", "0 0 0 0 0 0 "})));
    QCOMPARE(checkMap(small), QStringList({"000111", "000111", "000111", "111011", "111101", "111110"}));
}

void TestRoutePage::fromJsonRejects_data() {
    QTest::addColumn<QJsonArray>("route");
    const QString ok = "1 0 1 0 1 0 ";
    QTest::newRow("empty") << QJsonArray();
    QTest::newRow("five rows") << QJsonArray({ok, ok, ok, ok, ok});
    QTest::newRow("seven rows") << QJsonArray({ok, ok, ok, ok, ok, ok, ok});
    QTest::newRow("number") << QJsonArray({ok, ok, ok, 1, ok, ok});
    QTest::newRow("no blanks") << QJsonArray({ok, ok, ok, ok, ok, "101010"});
    QTest::newRow("digit 2") << QJsonArray({ok, "1 0 2 0 1 0 ", ok, ok, ok, ok});
    QTest::newRow("five digits") << QJsonArray({ok, ok, "1 0 1 0 1 ", ok, ok, ok});
    QTest::newRow("seven digits") << QJsonArray({ok, ok, "1 0 1 0 1 0 1 ", ok, ok, ok});
    QTest::newRow("two trailing blanks") << QJsonArray({ok, ok, ok, "1 0 1 0 1 0  ", ok, ok});
    QTest::newRow("leading blank") << QJsonArray({ok, ok, ok, ok, " 1 0 1 0 1 0", ok});
    QTest::newRow("empty string") << QJsonArray({ok, ok, ok, ok, ok, ""});
}

void TestRoutePage::fromJsonRejects() {
    QFETCH(QJsonArray, route);
    RouteParamWidget page;
    page.setHardwareType(4);
    page.setDefault();
    QVERIFY(!page.fromJson(route));
    QCOMPARE(checkMap(page), kAllOnType4);
}

void TestRoutePage::retranslate() {
    RouteParamWidget page;
    QTableWidget* map = table(page);
    auto hint = [&](const char* name) { return page.findChild<QLabel*>(name)->text(); };

    QTranslator english;
    QVERIFY(english.load(":/Language/tarvane_en.qm"));
    QCoreApplication::installTranslator(&english);
    page.retranslate();
    QCOMPARE(map->item(0, 0)->text(), QString("ON/OFF"));
    QCOMPARE(map->item(0, 2)->text(), QString("CAN1"));
    QCOMPARE(map->item(2, 1)->text(), QString("CAN2"));
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(map->item(0, i + 3)->text(), QString("Fiber%1").arg(i));
        QCOMPARE(map->item(i + 2, 1)->text(), QString("Fiber%1").arg(i));
    }
    QCOMPARE(hint("m_labelHint"), QString("① ON/OFF：√channel is opening，╳channal is closed."));
    QCOMPARE(hint("m_labelHint2"), QString("② Route ：√channal is enable，╳Channel is disabled."));

    QCoreApplication::removeTranslator(&english);
    page.retranslate();
    QCOMPARE(map->item(0, 0)->text(), QString("开/关"));
    QCOMPARE(map->item(6, 1)->text(), QString("光纤4"));
    QCOMPARE(hint("m_labelHint"), QString("① 开/关：√表示该通道打开，╳表示该通道关闭."));
}

// Keys in a type-2 route table: the moving keys change nothing; Space and
// Enter switch the current switch as a click does, a channel's routes with it.
void TestRoutePage::keys_data() {
    QTest::addColumn<QPoint>("start");  // column, row
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QStringList>("enabled");
    const QByteArray all = QByteArray::fromHex("001227090048880000c000000000000000");
    const QByteArray fiber1Off = QByteArray::fromHex("0012270900408000000000000000000000");
    QTest::newRow("moving") << QPoint(3, 1) << "Down, Right, Up, End, Home, PgDown, Right, PgUp, Left" << all
                            << kAllOnType4;
    QTest::newRow("Space on a self cell") << QPoint(3, 2) << "Space" << all << kAllOnType4;
    QTest::newRow("Space on a route")
        << QPoint(4, 1) << "Space" << QByteArray::fromHex("001227090040880000c000000000000000")
        << kAllOnType4;
    QTest::newRow("Return on Fiber1")
        << QPoint(0, 3) << "Return" << fiber1Off
        << QStringList{"010111", "100111", "000111", "111011", "111101", "111110"};
    QTest::newRow("Enter twice") << QPoint(0, 3) << "Enter, Enter" << fiber1Off << kAllOnType4;
    // The click switches CAN1's route to Fiber1 off and makes it current, with the keyboard; Space on again.
    QTest::newRow("a click, then Space") << QPoint(-1, -1) << "Click 4 1, Space" << all << kAllOnType4;
}

void TestRoutePage::keys() {
    QFETCH(QPoint, start);
    QFETCH(QString, keys);
    RouteParamWidget page;
    page.setHardwareType(2);
    page.show();
    QApplication::setActiveWindow(&page);
    QVERIFY(QTest::qWaitForWindowActive(&page));
    // (-1, -1): the table has neither a current cell nor the keyboard.
    if (start.x() >= 0) {
        table(page)->setCurrentCell(start.y(), start.x());
        table(page)->setFocus();
    }
    for (const QString& key : keys.split(", ")) {  // to the focus
        if (key.startsWith("Click "))              // "Click COLUMN ROW"
            QTest::mouseClick(button(page, key.section(' ', 2, 2).toInt(), key.section(' ', 1, 1).toInt()),
                              Qt::LeftButton);
        else
            QTest::keySequence(static_cast<QWidget*>(nullptr), QKeySequence(key));
    }
    QTEST(page.routeFrame(), "frame");
    QTEST(enabledMap(page), "enabled");
}

QTEST_MAIN(TestRoutePage)
#include "tst_routepage.moc"
