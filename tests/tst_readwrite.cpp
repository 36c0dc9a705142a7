#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>

#include "DeviceParameters.h"
#include "DeviceRead.h"
#include "DeviceWrite.h"
#include "FiberRules.h"
#include "HIDDevice.h"
#include "ModalAnswerer.h"
#include "ParameterChecks.h"
#include "TestWindow.h"

using sim::Fault;

namespace {

QByteArray baudWord(ChannalWidget* channal) {
    return channal->baudRateFrame().mid(6, 4);
}

QByteArray fiberCode(TestWindow& window, int i) {
    return window.m_pOpticalFiberParamWidget->baudRateData(i).toByteArray();
}

QStringList routeRows(TestWindow& window) {
    QStringList rows;
    for (const QJsonValue& row : window.m_pRouteParamWidget->toJson()) rows << row.toString();
    return rows;
}

QByteArray withBytes(QByteArray bytes, int at, std::initializer_list<quint8> values) {
    for (quint8 value : values) bytes[at++] = char(value);
    return bytes;
}

QTableWidget* filterTable(ChannalWidget* channal) {
    return channal->findChild<QTableWidget*>("m_pTableWidgetDataList");
}

}  // namespace

class TestReadWrite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { removeLanguageSettings(); }
    void init() { repeater().reset(); }

    void readQueriesEveryPageAndAppliesReplies();
    void readWithoutFiberChannels();
    void readWithoutCanChannel();
    void readBaudRateRejectedChangesNothing();
    void readMissingFilterReplyKeepsOldTable();

    void writeSendsEveryPageThenReset();
    void writeWithoutFiberChannels();
    void fiberFrameKeepsEachCodeInItsByte();
    void writeRefusesInvalidFields_data();
    void writeRefusesInvalidFields();
    void writeAsksBeforeATestMode();
    void compareWithTheDevice_data();
    void compareWithTheDevice();
};

void TestReadWrite::readQueriesEveryPageAndAppliesReplies() {
    auto window = connectedWindow(4);  // two CAN, four fiber channels
    QVERIFY(window);
    repeater().setParameters(deviceParameters());
    ModalAnswerer answerer;

    window->button("m_pushButtonRead")->click();

    QCOMPARE(answerer.texts(), QStringList{"读取成功"});
    QCOMPARE(answerer.messages().first().title, QString("提示"));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(window->button("m_pushButtonRead")->isEnabled());

    const QList<QByteArray> log = repeater().log();
    QCOMPARE(log.size(), 2 + 28 + 1 + 1);
    QCOMPARE(log[0], frame17("0012A4010100"));
    for (int bank = 0; bank < 14; ++bank) {
        QCOMPARE(log[1 + bank], withBytes(frame17("0012A50201"), 5, {quint8(bank)}));
        QCOMPARE(log[16 + bank], withBytes(frame17("0012A50202"), 5, {quint8(bank)}));
    }
    // Byte 5 keeps the last bank number in the queries that do not set it.
    QCOMPARE(log[15], frame17("0012A401020D"));
    QCOMPARE(log[30], frame17("00122601000D"));
    QCOMPARE(log[31], frame17("00122801000D"));

    QCOMPARE(baudWord(window->channal(0)), QByteArray::fromHex("00120005"));
    QCOMPARE(window->channal(0)->filterFrames()[3], frame17("0012240B038110"
                                                            "11223344"
                                                            "AABBCCDD"));
    QCOMPARE(baudWord(window->channal(1)), QByteArray::fromHex("12345678"));
    QCOMPARE(window->channal(1)->filterFrames()[0], frame17("0012240B000211"
                                                            "01020304"
                                                            "05060708"));
    for (int i = 0; i < 4; ++i) QCOMPARE(fiberCode(*window, i), QByteArray(1, char(i == 3 ? 0x0c : i + 1)));
    QCOMPARE(routeRows(*window), (QStringList{"0 1 0 0 0 0 ", "1 0 1 0 0 0 ", "0 0 0 0 0 0 ", "1 0 0 0 0 1 ",
                                              "0 0 1 1 0 1 ", "1 1 0 0 0 0 "}));
}

void TestReadWrite::readWithoutFiberChannels() {
    auto window = connectedWindow(1);  // two CAN channels, no fiber
    QVERIFY(window);
    ModalAnswerer answerer;

    window->button("m_pushButtonRead")->click();

    QCOMPARE(answerer.texts(), QStringList{"读取成功"});
    const QList<QByteArray> log = repeater().log();
    QCOMPARE(log.size(), 2 + 28 + 1);
    QCOMPARE(log.last(), frame17("00122801000D"));
    for (const QByteArray& report : log) QVERIFY(quint8(report[2]) != 0x26);
}

void TestReadWrite::readWithoutCanChannel() {
    // The model table has no device without CAN channels; the sequence is
    // run on its own to see that the fiber and route queries then carry 0.
    ParameterSet set = ParameterSet::defaults(0, 2, 3);
    HIDDevice device;
    QVERIFY(device.open(0x0483, 0x6901, nullptr));
    repeater().setParameters(deviceParameters());

    DeviceRead read(device, set);
    QCOMPARE(read.run(), DeviceRead::Result::Done);

    QCOMPARE(repeater().log(), (QList<QByteArray>{frame17("0012260100"), frame17("0012280100")}));
    QCOMPARE(set.fiber.codes[0], 0x01);
    QCOMPARE(set.fiber.codes[1], 0x02);
}

void TestReadWrite::readBaudRateRejectedChangesNothing() {
    auto window = connectedWindow(4);
    QVERIFY(window);
    repeater().setParameters(deviceParameters());
    repeater().injectFault(0xA4, Fault::WrongStatus, 1, 0x81);
    const QByteArray oldFilter = window->channal(0)->filterFrames()[3];
    const QStringList oldRoute = routeRows(*window);
    ModalAnswerer answerer;

    window->button("m_pushButtonRead")->click();

    QCOMPARE(answerer.texts(), QStringList{"读取CAN波特率失败"});
    QCOMPARE(repeater().log().size(), 1);
    QCOMPARE(baudWord(window->channal(0)), QByteArray::fromHex("001C00E0"));
    QCOMPARE(window->channal(0)->filterFrames()[3], oldFilter);
    QCOMPARE(baudWord(window->channal(1)), QByteArray::fromHex("001C00E0"));
    QCOMPARE(fiberCode(*window, 0), QByteArray::fromHex("0B"));
    QCOMPARE(routeRows(*window), oldRoute);
}

void TestReadWrite::readMissingFilterReplyKeepsOldTable() {
    auto window = connectedWindow(4);
    QVERIFY(window);
    repeater().setParameters(deviceParameters());
    repeater().injectFault(0xA5, Fault::NoReply, 14 + 6);  // bank 5 of channel 2
    const QByteArray oldFilter = window->channal(1)->filterFrames()[0];
    ModalAnswerer answerer;

    window->button("m_pushButtonRead")->click();

    QCOMPARE(answerer.texts(), QStringList{"读取掩码数据失败"});
    QCOMPARE(repeater().log().size(), 1 + 14 + 1 + 6);
    QCOMPARE(baudWord(window->channal(0)), QByteArray::fromHex("00120005"));
    QCOMPARE(window->channal(0)->filterFrames()[3], frame17("0012240B038110"
                                                            "11223344"
                                                            "AABBCCDD"));
    QCOMPARE(baudWord(window->channal(1)), QByteArray::fromHex("12345678"));
    QCOMPARE(window->channal(1)->filterFrames()[0], oldFilter);
    QCOMPARE(fiberCode(*window, 0), QByteArray::fromHex("0B"));
}

void TestReadWrite::writeSendsEveryPageThenReset() {
    auto window = connectedWindow(3);  // two CAN, two fiber channels
    QVERIFY(window);
    window->button("m_pushButtonDefault")->click();
    window->m_pOpticalFiberParamWidget->setBaudRateCode(1, 0x05);
    ModalAnswerer answerer;

    window->button("m_pushButtonWrite")->click();

    QCOMPARE(answerer.texts(), QStringList{"设置成功"});
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(window->button("m_pushButtonWrite")->isEnabled());
    const QList<QByteArray> log = repeater().log();
    QCOMPARE(log.size(), 33);
    for (int c = 0; c < 2; ++c) {
        const quint8 id = quint8(c + 1);
        QCOMPARE(log[15 * c], withBytes(frame17("0012230600"), 5, {id, 0x00, 0x1C, 0x00, 0xE0}));
        // Bank 0 is in use by default, the others are not; mask mode, 32 bits.
        for (int bank = 0; bank < 14; ++bank) {
            const quint8 flags = quint8((bank == 0 ? 0x80 : 0x00) | id);
            QCOMPARE(log[15 * c + 1 + bank], withBytes(frame17("0012240B"), 4, {quint8(bank), flags, 0x01}));
        }
    }
    QCOMPARE(log[30], frame17("00122505000B05"));
    QCOMPARE(log[31], frame17("00122709004C8C0000C4C8"));
    QCOMPARE(log[32], frame17("0012110100"));
    QCOMPARE(repeater().parameters().resetCount, 1);
}

void TestReadWrite::writeWithoutFiberChannels() {
    auto window = connectedWindow(1);
    QVERIFY(window);
    ModalAnswerer answerer;

    window->button("m_pushButtonWrite")->click();

    QCOMPARE(answerer.texts(), QStringList{"设置成功"});
    const QList<QByteArray> log = repeater().log();
    QCOMPARE(log.size(), 33);
    QCOMPARE(log[30], frame17("0012250500"));
}

void TestReadWrite::fiberFrameKeepsEachCodeInItsByte() {
    ParameterSet set = ParameterSet::defaults(0, 4, 4);
    FiberRules::setCode(set.fiber, 4, 1, 0x0d);  // no such rate: the selector is left empty
    FiberRules::setCode(set.fiber, 4, 3, 0x02);
    set.fiberCount = 3;

    QCOMPARE(FiberRules::request(set.fiber, set.fiberCount).frame(), frame17("00122505000B000B00"));
    QCOMPARE(ParameterChecks::problems(set), QStringList{"光纤2 波特率：未选择"});
}

void TestReadWrite::writeRefusesInvalidFields_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("line");

    // A register's reason is the rule its cell's tool tip gives.
    const QString rule = "8个十六进制数字（数字之间可有空格和逗号，可带0x）";
    QTest::newRow("custom bit timing of three bytes") << "baud"
                                                      << "CAN通道1 波特率：位定时须为4个字节";
    QTest::newRow("ID register of three bytes") << "id"
                                                << "CAN通道2 第3行 ID寄存器：" + rule;
    QTest::newRow("mask register of five bytes") << "mask"
                                                 << "CAN通道1 第14行 掩码寄存器：" + rule;
    QTest::newRow("register emptied to blanks") << "blanks"
                                                << "CAN通道1 第14行 掩码寄存器：" + rule;
    QTest::newRow("fiber selector empty") << "fiber"
                                          << "光纤2 波特率：未选择";
    QTest::newRow("register with a G, which would shift the digits") << "typo"
                                                                     << "CAN通道2 第3行 ID寄存器：" + rule;
    QTest::newRow("custom entry as it comes") << "custom"
                                              << "CAN通道1 波特率：字段外的位不为0：0x3C80FC00";
    QTest::newRow("an SJW longer than its segments")
        << "sjw"
        << "CAN通道2 波特率：SJW 4 长于时间段（位定时字0x0300003B）";
}

void TestReadWrite::writeRefusesInvalidFields() {
    QFETCH(QString, field);
    QFETCH(QString, line);
    auto window = connectedWindow(3);
    QVERIFY(window);
    if (field == "baud") {
        window->channal(0)
            ->findChild<QComboBox*>("m_pComboBoxBautRate")
            ->setCurrentIndex(ChannalWidget::kCustomIndex);
        window->channal(0)->findChild<QLineEdit*>("m_lineEditBautRate")->setText("0x1a2b3c");
    } else if (field == "id") {
        filterTable(window->channal(1))->item(2, ChannalWidget::ColumnId)->setText("00 00 00");
    } else if (field == "mask") {
        filterTable(window->channal(0))->item(13, ChannalWidget::ColumnMask)->setText("00 00 00 00 00");
    } else if (field == "blanks") {
        filterTable(window->channal(0))->item(13, ChannalWidget::ColumnMask)->setText("   ");
    } else if (field == "typo") {
        filterTable(window->channal(1))->item(2, ChannalWidget::ColumnId)->setText("12 34 5G 78");
    } else if (field == "sjw") {
        window->channal(1)->setBaudRateReply(QByteArray::fromHex("0300003B"));
    } else if (field == "custom") {
        window->channal(0)
            ->findChild<QComboBox*>("m_pComboBoxBautRate")
            ->setCurrentIndex(ChannalWidget::kCustomIndex);
    } else {
        window->m_pOpticalFiberParamWidget->setBaudRateCode(1, 0);
    }
    ModalAnswerer answerer;

    window->button("m_pushButtonWrite")->click();

    QCOMPARE(answerer.texts(), QStringList{"以下参数有误，未向设备发送任何数据：\n" + line});
    QCOMPARE(answerer.messages().first().kind, QString("information"));
    QVERIFY(repeater().log().isEmpty());
    QVERIFY(window->button("m_pushButtonWrite")->isEnabled());
}

// A silent word (bit 31) acknowledges no frame on the bus: the Write asks
// first, No by default; No sends nothing.
void TestReadWrite::writeAsksBeforeATestMode() {
    auto window = connectedWindow(3);
    QVERIFY(window);
    window->channal(1)->setBaudRateReply(QByteArray::fromHex("80120005"));
    ModalAnswerer answerer;
    answerer.queueButton(QMessageBox::No);

    window->button("m_pushButtonWrite")->click();

    QCOMPARE(answerer.messages().size(), 1);
    QCOMPARE(answerer.messages().first().kind, QString("question"));
    QCOMPARE(answerer.texts().first(),
             QString("以下CAN通道的位定时字处于测试模式，通道不能在总线上正常收发：\n"
                     "CAN通道2：静默模式（位31），不应答任何帧\n仍要写入设备吗？"));
    QVERIFY(repeater().log().isEmpty());

    window->button("m_pushButtonWrite")->click();  // and Yes
    QCOMPARE(answerer.texts().last(), QString("设置成功"));
    QCOMPARE(repeater().log().at(15), frame17("0012230600 02 80120005"));
}

// The pages against what the device holds, without changing the pages: one
// row a field, bank numbered as the table's rows, each value as the pages
// show it; or one line when they agree. The dialog shows every column whole
// and up to fifteen rows.
void TestReadWrite::compareWithTheDevice_data() {
    QTest::addColumn<bool>("readFirst");
    QTest::addColumn<bool>("editPages");  // after the Read: Fiber1 switched off, a register typed in capitals
    QTest::addColumn<bool>("everyBank");  // the device: every bank of CAN1 in use, list mode, 16 bits
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("rows");  // every row; only the first ones when everyBank
    QTest::newRow("the same after a Read")
        << true << false << false << "页面与设备中的参数相同。" << QStringList();
    QTest::newRow("each kind of field")
        << false << false << false << "页面与设备有5处不同："
        << QStringList{
               "CAN1 - 波特率 0x001C00E0 (10 kbit/s，采样点 87.5 %，每位 16 个时间份额，SJW 1) "
               "0x00120005 (1000 kbit/s，采样点 66.7 %，每位 6 个时间份额，SJW 1)",
               "CAN1 4 使用 未勾选 已勾选", "CAN2 1 位数 32 16", "光纤4 - 波特率 1380K 2250K",
               "CAN1 - 路由→光纤1 开 关"};
    QTest::newRow("a channel switched off, a register as typed")
        << true << true << false << "页面与设备有2处不同："
        << QStringList{"CAN1 3 ID寄存器 AA BB CC DD 00 00 00 00", "光纤1 - 开/关 关 开"};
    QTest::newRow("more rows than shown")
        << false << false << true << "页面与设备有45处不同："
        << QStringList{
               "CAN1 - 波特率 0x001C00E0 (10 kbit/s，采样点 87.5 %，每位 16 "
               "个时间份额，SJW 1) 0x00120005 (1000 kbit/s，采样点 "
               "66.7 %，每位 6 个时间份额，SJW 1)",
               "CAN1 1 工作模式 掩码模式 列表模式", "CAN1 1 位数 32 16", "CAN1 2 使用 未勾选 已勾选"};
}

void TestReadWrite::compareWithTheDevice() {
    QFETCH(bool, readFirst);
    QFETCH(bool, editPages);
    QFETCH(bool, everyBank);
    QFETCH(QStringList, rows);
    auto window = connectedWindow(4);
    QVERIFY(window);
    sim::Parameters p = sim::Parameters::defaults();
    p.can[0].bitTiming = QByteArray::fromHex("00120005");
    p.can[0].banks[3].flags = 0x81;
    p.can[1].banks[0].mode = 0x00;
    p.fiber[3] = 0x0c;
    p.route[0] = 0x47;  // CAN1 no longer to Fiber1
    for (int bank = 0; bank < 14 && everyBank; ++bank) p.can[0].banks[size_t(bank)] = {0x81, 0x10};
    repeater().setParameters(p);
    ModalAnswerer answerer;
    if (readFirst) window->button("m_pushButtonRead")->click();
    if (editPages) {
        filterTable(window->channal(0))->item(2, 3)->setText("AA BB CC DD");
        auto* routes = window->m_pRouteParamWidget->findChild<QTableWidget*>();
        QTest::mouseClick(routes->cellWidget(3, 0), Qt::LeftButton);
    }
    const QList<QByteArray> before = window->channal(0)->filterFrames() + window->channal(1)->filterFrames();
    QString summary;
    QStringList shown;
    bool buttonsDisabled = false;
    answerer.queueDialog([&](QDialog* dialog) {
        summary = dialog->findChild<QLabel*>("m_labelSummary")->text();
        const auto* table = dialog->findChild<QTableWidget*>("m_tableDifferences");
        for (int row = 0; row < table->rowCount() && table->isVisibleTo(dialog); ++row) {
            QStringList cells;
            for (int column = 0; column < 5; ++column) cells << table->item(row, column)->text();
            shown << cells.join(' ');
        }
        // Whole, or for the two values on a narrow screen, wrapped.
        const auto* view = static_cast<const QAbstractItemView*>(table);
        for (int column = 0; column < 5 && table->isVisibleTo(dialog); ++column)
            QVERIFY(table->columnWidth(column) >= view->sizeHintForColumn(column) ||
                    (column >= 3 && table->wordWrap()));
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        // Fifteen rows, or as many as the screen has room for.
        int fifteen = 0;
        for (int row = 0; row < qMin(table->rowCount(), 15); ++row) fifteen += table->rowHeight(row);
        const int screen = dialog->screen()->availableGeometry().height();
        if (table->isVisibleTo(dialog))
            QVERIFY(table->viewport()->height() >= fifteen ||
                    dialog->frameGeometry().height() >= screen * 9 / 10);
        buttonsDisabled = !window->button("m_pushButtonSaveToFile")->isEnabled();
    });
    repeater().clearLog();

    window->findChild<QAction*>("m_pActionCompare")->trigger();

    QTEST(summary, "summary");
    QCOMPARE(everyBank ? shown.mid(0, rows.size()) : shown, rows);
    QVERIFY(buttonsDisabled);
    QVERIFY(window->button("m_pushButtonSaveToFile")->isEnabled());
    QCOMPARE(repeater().log().size(), 32);  // the Read's queries
    QCOMPARE(window->channal(0)->filterFrames() + window->channal(1)->filterFrames(), before);
}

QTEST_MAIN(TestReadWrite)
#include "tst_readwrite.moc"
