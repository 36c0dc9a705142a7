#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolTip>
#include <QTranslator>
#include <QtTest>

#include "ChannalWidget.h"
#include "FilterPlannerDialog.h"
#include "FixedLinesLabel.h"
#include "ModalAnswerer.h"

namespace {

QComboBox* baudBox(ChannalWidget& w) {
    return w.findChild<QComboBox*>("m_pComboBoxBautRate");
}
QLineEdit* baudEdit(ChannalWidget& w) {
    return w.findChild<QLineEdit*>("m_lineEditBautRate");
}
QLabel* decodedLine(ChannalWidget& w) {
    return w.findChild<QLabel*>("m_labelBitTiming");
}
QLabel* filterLabel(ChannalWidget& w) {
    return w.findChild<QLabel*>("m_labelFilter");
}
// A label's text, after "red: " when drawn in red; its style sheet takes
// effect on polishing.
QString shownText(QLabel* label) {
    label->ensurePolished();
    const bool red = label->palette().color(QPalette::WindowText) == QColor(Qt::red);
    return (red ? "red: " : "") + label->text();
}
QString shownLine(ChannalWidget& w) {
    return shownText(decodedLine(w));
}
QTableWidget* table(ChannalWidget& w) {
    return w.findChild<QTableWidget*>("m_pTableWidgetDataList");
}
QComboBox* cellBox(ChannalWidget& w, int row, int column) {
    return qobject_cast<QComboBox*>(table(w)->cellWidget(row, column));
}
bool ticked(ChannalWidget& w, int row) {
    return table(w)->item(row, 0)->checkState() == Qt::Checked;
}
void setTicked(ChannalWidget& w, int row, bool on) {
    table(w)->item(row, 0)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}
QString cellText(ChannalWidget& w, int row, int column) {
    return table(w)->item(row, column)->text();
}
void setCellText(ChannalWidget& w, int row, int column, const QString& text) {
    table(w)->item(row, column)->setText(text);
}

QJsonArray defaultDataList() {
    QJsonArray list{"1, 0, 1, 00 00 00 00, 00 00 00 00"};
    for (int i = 1; i < 14; ++i) list.append("0, 0, 1, 00 00 00 00, 00 00 00 00");
    return list;
}

// Row values that differ from the defaults everywhere.
void fillRows(ChannalWidget& w) {
    for (int row = 0; row < 14; ++row) {
        setTicked(w, row, row % 2 == 1);
        cellBox(w, row, 1)->setCurrentIndex(row % 3 == 0 ? 1 : 0);
        cellBox(w, row, 2)->setCurrentIndex(row % 4 == 0 ? 1 : 0);
        setCellText(w, row, 3, QString("%1 00 00 00").arg(row, 2, 16, QChar('0')));
        setCellText(w, row, 4, QString("FF FF FF %1").arg(row, 2, 16, QChar('0')));
    }
}

}  // namespace

Q_DECLARE_METATYPE(QVector<InvalidField>)
Q_DECLARE_METATYPE(FilterRow)

class TestChannalWidget : public QObject {
    Q_OBJECT
private slots:
    void newWidget();
    void choosingEntries_data();
    void choosingEntries();
    void editedFilterFrame();
    void readBackWord_data();
    void readBackWord();
    void registerTextsInFile_data();
    void registerTextsInFile();
    void invalidFields();
    void setDefault();
    void englishTexts();
    void bitTimingLabel();
    void bitTimingLineKeepsItsPlace();
    void calculator_data();
    void calculator();
    void filterLine_data();
    void filterLine();
    void filterLineFollowsEdits();
    void planner_data();
    void planner();
    void tableKeys_data();
    void tableKeys();
    void longRegisterText();
};

void TestChannalWidget::newWidget() {
    ChannalWidget w(1);
    QCOMPARE(w.objectName(), QStringLiteral("ChannalWidget"));
    QCOMPARE(w.channalId(), 1);
    QCOMPARE(baudBox(w)->count(), 17);
    QCOMPARE(baudBox(w)->currentIndex(), 1);
    QCOMPARE(baudBox(w)->currentText(), QStringLiteral("10K"));
    QCOMPARE(baudBox(w)->itemData(6).toByteArray(), QByteArray::fromHex("0012003b"));
    QCOMPARE(baudBox(w)->itemData(14).toByteArray(), QByteArray::fromHex("00120005"));
    QCOMPARE(baudEdit(w)->text(), QStringLiteral("0x001C00E0"));
    QVERIFY(baudEdit(w)->isReadOnly());
    QCOMPARE(w.findChild<QLabel*>("m_labelBauRate")->text(), QStringLiteral("波特率："));

    QTableWidget* t = table(w);
    QCOMPARE(t->columnCount(), 5);
    QCOMPARE(t->rowCount(), 14);
    QCOMPARE(t->columnWidth(0), 25);
    QCOMPARE(t->columnWidth(1), 100);
    QCOMPARE(t->columnWidth(2), 80);
    QCOMPARE(t->columnWidth(3), 100);
    QVERIFY(t->horizontalHeader()->stretchLastSection());
    for (int row = 0; row < 14; ++row) {
        QCOMPARE(ticked(w, row), row == 0);
        QCOMPARE(t->rowHeight(row), 24);
        QCOMPARE(cellBox(w, row, 1)->currentText(), QStringLiteral("掩码模式"));
        QCOMPARE(cellBox(w, row, 2)->currentText(), QStringLiteral("32"));
        QCOMPARE(cellText(w, row, 3), QStringLiteral("00 00 00 00"));
        QCOMPARE(cellText(w, row, 4), QStringLiteral("00 00 00 00"));
        QVERIFY(!(t->item(row, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(t->item(row, 0)->flags() & Qt::ItemIsUserCheckable);
    }
}

void TestChannalWidget::choosingEntries_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("5K") << 0 << "0x00450257" << true;
    QTest::newRow("100K") << 6 << "0x0012003B" << true;
    QTest::newRow("adaptive") << 15 << "0x00000000" << true;
    QTest::newRow("custom") << 16 << "0xFFFFFFFF" << false;
}

void TestChannalWidget::choosingEntries() {
    QFETCH(int, index);
    ChannalWidget w(1);
    // Leaving "自定义" must lock the field again and drop the typed text.
    baudBox(w)->setCurrentIndex(16);
    baudEdit(w)->setText("0x12345678");
    baudBox(w)->setCurrentIndex(index == 16 ? 1 : index);
    baudBox(w)->setCurrentIndex(index);
    QTEST(baudEdit(w)->text(), "text");
    QTEST(baudEdit(w)->isReadOnly(), "readOnly");
}

void TestChannalWidget::editedFilterFrame() {
    ChannalWidget w(2);
    setTicked(w, 3, true);
    cellBox(w, 3, 1)->setCurrentIndex(1);
    cellBox(w, 3, 2)->setCurrentIndex(0);
    setCellText(w, 3, 3, "12 34 56 78");
    setCellText(w, 3, 4, "9ABCDEF0");
    const QList<QByteArray> frames = w.filterFrames();
    QCOMPARE(frames.at(3), QByteArray::fromHex("0012240b038210123456789abcdef00000"));
    QCOMPARE(frames.at(0), QByteArray::fromHex("0012240b00820100000000000000000000"));
}

void TestChannalWidget::readBackWord_data() {
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("100K") << QByteArray::fromHex("0012003b") << 6 << "0x0012003B" << true;
    QTest::newRow("adaptive") << QByteArray::fromHex("00000000") << 15 << "0x00000000" << true;
    QTest::newRow("custom entry") << QByteArray::fromHex("ffffffff") << 16 << "0xFFFFFFFF" << false;
    QTest::newRow("unknown word") << QByteArray::fromHex("0012001d") << 16 << "0x0012001d" << false;
    QTest::newRow("five bytes") << QByteArray::fromHex("000012003b") << 16 << "0x000012003b" << false;
    QTest::newRow("empty") << QByteArray() << 16 << "0x" << false;
}

void TestChannalWidget::readBackWord() {
    QFETCH(QByteArray, word);
    ChannalWidget w(1);
    w.setBaudRateReply(word);
    QTEST(baudBox(w)->currentIndex(), "index");
    QTEST(baudEdit(w)->text(), "text");
    QTEST(baudEdit(w)->isReadOnly(), "readOnly");

    // From "自定义" already current, an unknown word still shows itself.
    baudBox(w)->setCurrentIndex(16);
    w.setBaudRateReply(QByteArray::fromHex("0012001d"));
    QCOMPARE(baudEdit(w)->text(), QStringLiteral("0x0012001d"));
    // And with that word shown, the word read now replaces it, also FF FF FF FF.
    w.setBaudRateReply(word);
    QTEST(baudBox(w)->currentIndex(), "index");
    QTEST(baudEdit(w)->text(), "text");
}

// Hex decoding skips the commas, so these are valid registers.
void TestChannalWidget::registerTextsInFile_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("saved");
    const auto row = [](const char* name, const char* id, const char* mask, const char* saved) {
        QTest::newRow(name) << QString(id) << QString(mask) << QString(saved);
    };
    row("commas", "12,34,56,78", "9A,BC,DE,F0", "1, 0, 1, 12 34 56 78, 9A BC DE F0");
    row("commas and blanks", "12, 34 ,56,78", ",9ABCDEF0,", "1, 0, 1, 12  34  56 78,  9ABCDEF0 ");
}

void TestChannalWidget::registerTextsInFile() {
    QFETCH(QString, id);
    QFETCH(QString, mask);
    ChannalWidget source(1);
    setCellText(source, 0, 3, id);
    setCellText(source, 0, 4, mask);
    const QJsonObject saved = source.toJson();
    QTEST(saved.value("DataList").toArray().at(0).toString(), "saved");
    // Only the file form changes; the page keeps what was typed.
    QCOMPARE(cellText(source, 0, 3), id);
    QCOMPARE(cellText(source, 0, 4), mask);

    ChannalWidget target(1);
    target.fromJson(saved);
    QCOMPARE(target.filterFrames().at(0), QByteArray::fromHex("0012240b008101123456789abcdef00000"));
}

void TestChannalWidget::invalidFields() {
    ChannalWidget w(1);
    QVERIFY(w.invalidFields().isEmpty());
    setCellText(w, 7, 3, "1234 5678");  // still four bytes
    QVERIFY(w.invalidFields().isEmpty());

    baudBox(w)->setCurrentIndex(16);
    baudEdit(w)->setText("0x1234AB");
    setCellText(w, 4, 3, "12 34 56");
    setCellText(w, 4, 4, "");
    setCellText(w, 13, 4, "12 34 56 78 9A");
    using Register = CanCodec::FilterRegister;
    const QVector<InvalidField> expected{{InvalidField::BaudRate},
                                         {InvalidField::Register, 4, Register::Id},
                                         {InvalidField::Register, 4, Register::Mask},
                                         {InvalidField::Register, 13, Register::Mask}};
    QCOMPARE(w.invalidFields(), expected);

    // Each cell is marked, blanks too, on which red text alone would not show;
    // the row's meaning says which register is wrong and why.
    setCellText(w, 5, 3, "   ");
    for (const QPoint& cell : {QPoint(3, 4), QPoint(4, 4), QPoint(3, 5), QPoint(4, 13)}) {
        QCOMPARE(table(w)->item(cell.y(), cell.x())->background().style(), Qt::SolidPattern);
        const QString tip = table(w)->item(cell.y(), cell.x())->toolTip();
        QVERIFY(tip.contains("8个十六进制数字（数字之间可有空格和逗号，可带0x）"));
    }
    QCOMPARE(table(w)->item(7, 3)->background().style(), Qt::NoBrush);

    // The frames still carry 17 bytes each.
    QCOMPARE(w.baudRateFrame().size(), 17);
    for (const QByteArray& frame : w.filterFrames()) QCOMPARE(frame.size(), 17);

    // A file with a five-byte word loads it, and it is named too.
    w.setDefault();
    w.fromJson({{"BaudRate", "0x000012003B"}});
    QCOMPARE(w.invalidFields(), (QVector<InvalidField>{{InvalidField::BaudRate}}));
    w.fromJson({{"BaudRate", "0x12003b"}});
    QCOMPARE(w.invalidFields().size(), 1);
}

void TestChannalWidget::setDefault() {
    ChannalWidget w(1);
    fillRows(w);
    baudBox(w)->setCurrentIndex(16);
    baudEdit(w)->setText("0x11");
    w.setDefault();
    QCOMPARE(baudBox(w)->currentIndex(), 1);
    QCOMPARE(baudEdit(w)->text(), QStringLiteral("0x001C00E0"));
    QVERIFY(baudEdit(w)->isReadOnly());
    QCOMPARE(w.toJson().value("DataList").toArray(), defaultDataList());
}

void TestChannalWidget::englishTexts() {
    ChannalWidget w(1);
    baudBox(w)->setCurrentIndex(16);
    cellBox(w, 5, 1)->setCurrentIndex(1);
    table(w)->item(2, 3)->setText("12");  // a red cell's tool tip follows the language
    QTranslator translator;
    QVERIFY(translator.load(":/Language/tarvane_en.qm"));
    QCoreApplication::installTranslator(&translator);
    w.retranslate();
    const QString plannerTitle = FilterPlannerDialog(&w).windowTitle();  // in the language of the moment
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(plannerTitle, QStringLiteral("Filter Planner"));

    QCOMPARE(w.findChild<QLabel*>("m_labelBauRate")->text(), QStringLiteral("Baud Rate："));
    QCOMPARE(baudBox(w)->itemText(15), QStringLiteral("Adaptive"));
    QCOMPARE(baudBox(w)->itemText(16), QStringLiteral("Custom"));
    QCOMPARE(baudBox(w)->itemText(0), QStringLiteral("5K"));
    QCOMPARE(baudBox(w)->itemText(14), QStringLiteral("1000K"));
    QCOMPARE(baudBox(w)->currentIndex(), 16);
    QCOMPARE(baudEdit(w)->text(), QStringLiteral("0xFFFFFFFF"));
    QCOMPARE(decodedLine(w)->text(), QStringLiteral("bits outside the fields set: 0x3C80FC00; loop-back mode "
                                                    "(bit 30); silent mode (bit 31), acknowledges no frame"));
    QCOMPARE(w.findChild<QPushButton*>("m_pushButtonBitTiming")->toolTip(),
             QStringLiteral("Bit-timing calculator: finds the words for a bit rate"));

    const QStringList headers{" ", "Work Mode", "Bit", "ID Register", "Mask Register"};
    for (int column = 0; column < 5; ++column)
        QCOMPARE(table(w)->horizontalHeaderItem(column)->text(), headers.at(column));
    for (int row = 0; row < 14; ++row) {
        QCOMPARE(cellBox(w, row, 1)->itemText(0), QStringLiteral("Mask Mode"));
        QCOMPARE(cellBox(w, row, 1)->itemText(1), QStringLiteral("List Mode"));
        QCOMPARE(cellBox(w, row, 2)->itemText(0), QStringLiteral("16"));
        QCOMPARE(cellBox(w, row, 2)->itemText(1), QStringLiteral("32"));
    }
    QCOMPARE(cellBox(w, 5, 1)->currentIndex(), 1);
    QCOMPARE(
        table(w)->item(2, 3)->toolTip(),
        QStringLiteral("not in use; ID register: 8 hex digits, with or without 0x before them and blanks or "
                       "commas between them"));

    // Back without the catalogue: the Chinese texts return.
    w.retranslate();
    QCOMPARE(baudBox(w)->itemText(16), QStringLiteral("自定义"));
    QCOMPARE(cellBox(w, 0, 1)->itemText(1), QStringLiteral("列表模式"));
    QVERIFY(decodedLine(w)->text().startsWith("字段外的位不为0"));
}

// The line beside the word follows it however it comes: picked, typed,
// read back or opened; red while the word is wrong. Beside the sample point
// it shows the clock tolerance and the longest bus (with 335 ns per node,
// which its tool tip says), and after the SJW what the word misses.
void TestChannalWidget::bitTimingLabel() {
    ChannalWidget w(1);
    // 225 x 16 quanta of 6.25 us: 1 / 320, (11 x 6250 / 2 - 335) / 5 m.
    const QString tenK = QStringLiteral(
        "10 kbit/s，采样点 87.5 %，时钟容差 ±0.3125 %，总线最长 6808 m，每位 16 个时间份额，SJW 1；"
        "SJW 2 也合适，时钟容差可达 ±0.4854 %");
    QCOMPARE(shownLine(w), tenK);
    QCOMPARE(decodedLine(w)->toolTip(), tenK + "\n总线长度按节点延迟 335 ns，电缆 5 ns/m计算");
    baudBox(w)->setCurrentIndex(16);
    QCOMPARE(shownLine(w),
             QStringLiteral("red: 字段外的位不为0：0x3C80FC00；回环模式（位30）；静默模式（位31），"
                            "不应答任何帧"));
    baudBox(w)->setCurrentIndex(15);
    QCOMPARE(shownLine(w), QStringLiteral("自适应：由设备检测波特率"));
    baudBox(w)->setCurrentIndex(16);
    baudEdit(w)->clear();
    QTest::keyClicks(baudEdit(w), "0x001C00");
    QCOMPARE(shownLine(w), QStringLiteral("red: 须为4个字节，实为3个"));
    // Seven digits are no word, whatever they decode to.
    QTest::keyClicks(baudEdit(w), "E");
    QCOMPARE(shownLine(w), QStringLiteral("red: 8个十六进制数字（数字之间可有空格和逗号，可带0x）"));
    QTest::keyClicks(baudEdit(w), "0");
    QCOMPARE(shownLine(w), tenK);
    // 0x1D + 1 = 30, 36 MHz / (30 x 6) = 200 kbit/s; 1 / 120, one quantum
    // of 833 ns for propagation: (417 - 335) / 5 m.
    w.setBaudRateReply(QByteArray::fromHex("0012001d"));
    QCOMPARE(
        shownLine(w),
        QStringLiteral("200 kbit/s，采样点 66.7 %，时钟容差 ±0.8333 %，总线最长 16 m，每位 6 个时间份额，"
                       "SJW 1；SJW 2 也合适，时钟容差可达 ±1.3157 %"));
    // The table's 500K: half its quantum of 333 ns is less than a node's delay,
    // and CANopen and J1939 sample at 87.5 %.
    baudBox(w)->setCurrentIndex(11);
    QCOMPARE(shownLine(w),
             QStringLiteral("500 kbit/s，采样点 66.7 %，时钟容差 ±0.8333 %，传播段短于两倍节点延迟，"
                            "每位 6 个时间份额，SJW 1；CANopen和J1939在此速率建议采样点 87.5 %；"
                            "SJW 2 也合适，时钟容差可达 ±1.3157 %"));
    w.fromJson({{"BaudRate", "0x80120005"}});
    QCOMPARE(shownLine(w), QStringLiteral("red: 静默模式（位31），不应答任何帧"));
    w.setBaudRateReply(QByteArray::fromHex("00010000"));
    QCOMPARE(shownLine(w),
             QStringLiteral(
                 "red: 9000 kbit/s，采样点 75.0 %，每位 4 个时间份额，SJW 1；快于CAN的最高速率1000 kbit/s"));
}

// However long the line beside the word, the table under it stays where it
// is, at the narrowest window and a wider one, in both languages; the line
// never breaks after a number ("每位 25 个时间份额" stays whole), its three
// lines hold the clock tolerance and the longest bus, and what it cuts off
// is in its tool tip.
void TestChannalWidget::bitTimingLineKeepsItsPlace() {
    ChannalWidget w(1);
    w.show();
    QTranslator english;
    QVERIFY(english.load(":/Language/tarvane_en.qm"));
    for (int width : {526, 800}) {
        if (width == 800) QCoreApplication::installTranslator(&english);
        w.retranslate();
        w.resize(width, 300);
        baudBox(w)->setCurrentIndex(1);
        QCoreApplication::processEvents();
        const int tableTop = table(w)->y();
        // The longest reason, a short line, every field at its top, the
        // rule, and a plain word again after the red ones.
        for (const char* text : {"0xFFFFFFFF", "0x00000000", "0x037F03FF", "0x001C00", "0x001C00E0"}) {
            baudBox(w)->setCurrentIndex(16);
            baudEdit(w)->setText(text);
            QCoreApplication::processEvents();
            QCOMPARE(table(w)->y(), tableTop);
            const QStringList lines = static_cast<FixedLinesLabel*>(decodedLine(w))->shownLines();
            QVERIFY(lines.size() <= 3);
            QVERIFY2(!lines.first().back().isDigit() || lines.size() == 1, qPrintable(lines.join(" / ")));
            if (lines.join(QString()).remove(' ') != decodedLine(w)->text().remove(' '))
                QVERIFY(lines.last().endsWith(QChar(0x2026)));
            QVERIFY(decodedLine(w)->toolTip().startsWith(decodedLine(w)->text()));
        }
        // The last, 10K: its clock tolerance and longest bus show whole.
        const QString shown = static_cast<FixedLinesLabel*>(decodedLine(w))->shownLines().join(' ');
        QVERIFY2(shown.contains("0.3125 %") && shown.contains("6808 m"), qPrintable(shown));
    }
    QCoreApplication::removeTranslator(&english);
}

void TestChannalWidget::calculator_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("offered");  // the bit rate the dialog starts with
    QTest::newRow("from 666K") << 12 << "666.667";
    QTest::newRow("from custom entry") << 16 << "";
}

void TestChannalWidget::calculator() {
    QFETCH(int, index);
    ChannalWidget w(2);
    baudBox(w)->setCurrentIndex(index);
    QString offered;
    ModalAnswerer answerer;
    answerer.queueDialog([&](QDialog* dialog) {
        auto* rate = dialog->findChild<QLineEdit*>("m_editBitRate");
        offered = rate->text();
        rate->setText("250");
        // Beyond the 183 m of 8 quanta: 16 quanta first.
        dialog->findChild<QLineEdit*>("m_editBusLength")->setText("200");
        dialog->accept();  // takes the first row, selected
    });
    QTest::mouseClick(w.findChild<QPushButton*>("m_pushButtonBitTiming"), Qt::LeftButton);
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen().first().className, QStringLiteral("BitTimingDialog"));
    QTEST(offered, "offered");

    // 36 MHz / (9 x 16): prescaler 0x008 + 1, segment 1 of 0xC + 1, segment 2 of 1 + 1.
    QCOMPARE(baudBox(w)->currentIndex(), 16);
    QCOMPARE(baudEdit(w)->text(), QStringLiteral("0x001C0008"));
    QVERIFY(!baudEdit(w)->isReadOnly());
    QCOMPARE(
        shownLine(w),
        QStringLiteral("250 kbit/s，采样点 87.5 %，时钟容差 ±0.3125 %，总线最长 208 m，每位 16 个时间份额，"
                       "SJW 1；SJW 2 也合适，时钟容差可达 ±0.4854 %"));
    QCOMPARE(w.baudRateFrame(), QByteArray::fromHex("00 12 23 06 00 02 00 1C 00 08 00 00 00 00 00 00 00"));

    // Cancelled (the answerer's default), nothing changes.
    ModalAnswerer cancel;
    QTest::mouseClick(w.findChild<QPushButton*>("m_pushButtonBitTiming"), Qt::LeftButton);
    QCOMPARE(cancel.seen().size(), 1);
    QCOMPARE(baudEdit(w)->text(), QStringLiteral("0x001C0008"));

    // A word of the table selects its entry: 100K's 0x0012003B is among those for 100 kbit/s.
    ModalAnswerer table;
    table.queueDialog([&](QDialog* dialog) {
        dialog->findChild<QLineEdit*>("m_editBitRate")->setText("100");
        auto* words = dialog->findChild<QTableWidget*>("m_tableWords");
        words->selectRow(words->findItems("0x0012003B", Qt::MatchExactly).value(0)->row());
        dialog->accept();
    });
    QTest::mouseClick(w.findChild<QPushButton*>("m_pushButtonBitTiming"), Qt::LeftButton);
    QCOMPARE(baudBox(w)->currentText(), QStringLiteral("100K"));
    QVERIFY(baudEdit(w)->isReadOnly());
}

// The line under the table for the selected bank, the same text in the tool
// tip of each of its cells, and in red the register that holds a problem.
// The third example, four identifiers in a 16-bit list, is the planner's.
void TestChannalWidget::filterLine_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<FilterRow>("bank");
    QTest::addColumn<QString>("line");
    const auto add = [](const char* name, int row, const FilterRow& bank, const char* line) {
        QTest::newRow(name) << row << bank << QString(line);
    };
    add("0x123, 32-bit list", 0, {true, 1, 1, "24 60 00 00", "24 60 00 00"}, "过滤器组1：标准数据帧 0x123");
    add("0x100-0x1FF data, 32-bit mask", 0, {true, 0, 1, "20 00 00 00", "E0 00 00 06"},
        "过滤器组1：标准数据帧 0x100–0x1FF");
    add("beside the default bank: a note", 2, {true, 0, 1, "20 00 00 00", "E0 00 00 06"},
        "过滤器组3：标准数据帧 0x100–0x1FF；与过滤器组1有256个相同的标识符");
    add("extended typed without IDE", 5, {true, 0, 1, "C7 F7 88 00", "FF FF FF FE"},
        "red: "
        "过滤器组6：永不匹配：IDE位为0（标准帧），却要求扩展标识符位0x00178800为1；在使用，但没有帧能通过");
    add("not in use", 13, {false, 1, 0, "12 34 56 78", "9A BC DE F0"}, "过滤器组14：未使用");
    // A received frame's bit 0 is 0: compared as 1, nothing passes.
    add("the reserved bit set", 4, {true, 0, 1, "00 00 00 01", "00 00 00 01"},
        "red: 过滤器组5：永不匹配：保留位0为1，而收到的帧此位总为0；在使用，但没有帧能通过");
}

void TestChannalWidget::filterLine() {
    QFETCH(int, row);
    QFETCH(FilterRow, bank);
    QFETCH(QString, line);
    ChannalWidget w(1);
    setTicked(w, row, bank.inUse);
    cellBox(w, row, 1)->setCurrentIndex(bank.workMode);
    cellBox(w, row, 2)->setCurrentIndex(bank.bitWidth);
    setCellText(w, row, 3, bank.idText);
    setCellText(w, row, 4, bank.maskText);
    table(w)->setCurrentCell(row, 3);
    QCOMPARE(shownText(filterLabel(w)), line);
    const QString prefix = QString("过滤器组%1：").arg(row + 1);
    for (int column : {0, 3, 4})
        QCOMPARE(prefix + table(w)->item(row, column)->toolTip(), filterLabel(w)->text());
    QCOMPARE(prefix + cellBox(w, row, 1)->toolTip(), filterLabel(w)->text());
    QCOMPARE(table(w)->item(row, 3)->data(Qt::ForegroundRole).isValid(), line.startsWith("red: "));
}

// The line follows the typing in a cell key by key, before the cell takes
// the text.
void TestChannalWidget::filterLineFollowsEdits() {
    ChannalWidget w(1);
    w.show();
    QCOMPARE(shownText(filterLabel(w)), QStringLiteral("过滤器组1：所有帧"));
    table(w)->setCurrentCell(0, 4);
    table(w)->editItem(table(w)->item(0, 4));
    auto* editor = table(w)->findChild<QLineEdit*>();
    editor->clear();
    QTest::keyClicks(editor, "FF E0 00");
    QCOMPARE(shownText(filterLabel(w)),
             QStringLiteral("red: 过滤器组1：掩码寄存器：8个十六进制数字（数字之间可有空格和逗号，可带0x）"));
    QTest::keyClicks(editor, " 06");
    QCOMPARE(shownText(filterLabel(w)), QStringLiteral("过滤器组1：标准数据帧 0x000"));
    QCOMPARE(cellText(w, 0, 4), QStringLiteral("00 00 00 00"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the editor hands its text on from the event loop
    QCOMPARE(table(w)->item(0, 3)->toolTip(), QStringLiteral("标准数据帧 0x000"));
}

// The planner from the channel page: the rows it fills send the frames the
// register layout gives for the request and decode back to it; bank 10,
// ticked with zeros, passes everything until cleared after the plan.
void TestChannalWidget::planner_data() {
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("format");  // standard, extended
    QTest::addColumn<int>("types");   // data, remote, both
    QTest::addColumn<int>("first");   // as the table numbers banks
    QTest::addColumn<bool>("clear");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QByteArray>("frame");  // of the first bank
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("kept10");
    QTest::newRow("four from bank 3, the rest kept")
        << "0x100\n0x101\n0x200\n0x7FF" << 0 << 0 << 3 << false << "过滤器组3，只通过所要求的标识符"
        << "过滤器组1、10仍在使用，让所有帧通过：计划之外的帧也会通过"
        << QByteArray::fromHex("0012240b02811020202000ffe040000000")
        << "过滤器组3：标准数据帧 0x100、0x101、0x200、0x7FF；标识符共4个；与过滤器组1有4个相同的标识符；"
           "与过滤器组10有4个相同的标识符"
        << true;
    QTest::newRow("extended by default, both types")
        << "0x18FEF100-0x18FEF1FF" << 1 << 2 << 2 << true << "过滤器组2，只通过所要求的标识符"
        << "过滤器组1仍在使用，让所有帧通过：计划之外的帧也会通过"
        << QByteArray::fromHex("0012240b018101c7f78804fffff8040000")
        << "过滤器组2：扩展数据帧和远程帧 0x18FEF100–0x18FEF1FF；与过滤器组1有256个相同的标识符" << false;
    // Every mistake listed, each by its line; "abc" no number, "256" read as 0x256.
    QTest::newRow("every mistake listed")
        << "256\nabc\n0x800" << 0 << 0 << 1 << true
        << "red: 2处错误：\n第2行“abc”：“abc”不是数；以字母开头的十六进制数请写成0xabc\n"
           "第3行“0x800”：0x800超出标准标识符（最大0x7FF）；扩展帧请加 ext"
        << "" << QByteArray::fromHex("0012240b00810100000000000000000000")
        << "过滤器组1：所有帧；与过滤器组10有536872960个相同的标识符" << true;
    QTest::newRow("nothing typed: the hint says hex")
        << "" << 0 << 0 << 1 << true
        << "每行一个标识符或范围，数按十六进制读（0x可省略，以字母开头的数要写0x）；可加 std 或 "
           "ext、data、remote "
           "或 both"
        << "" << QByteArray::fromHex("0012240b00810100000000000000000000")
        << "过滤器组1：所有帧；与过滤器组10有536872960个相同的标识符" << true;
    QTest::newRow("too large: nothing filled")
        << "0x800" << 0 << 0 << 1 << true << "red: “0x800”：0x800超出标准标识符（最大0x7FF）；扩展帧请加 ext"
        << "" << QByteArray::fromHex("0012240b00810100000000000000000000")
        << "过滤器组1：所有帧；与过滤器组10有536872960个相同的标识符" << true;
}

void TestChannalWidget::planner() {
    QFETCH(QString, request);
    QFETCH(int, format);
    QFETCH(int, types);
    QFETCH(int, first);
    QFETCH(bool, clear);
    ChannalWidget w(1);
    setTicked(w, 9, true);
    QString message, warning;
    ModalAnswerer answerer;
    answerer.queueDialog([&](QDialog* dialog) {
        dialog->findChild<QPlainTextEdit*>("m_editRequest")->setPlainText(request);
        dialog->findChild<QComboBox*>("m_comboFormat")->setCurrentIndex(format);
        dialog->findChild<QComboBox*>("m_comboFrameTypes")->setCurrentIndex(types);
        dialog->findChild<QSpinBox*>("m_spinFirstBank")->setValue(first);
        dialog->findChild<QCheckBox*>("m_checkClearOthers")->setChecked(clear);
        message = shownText(dialog->findChild<QLabel*>("m_labelMessage"));
        const QListWidget* errors = dialog->findChild<QListWidget*>("m_listErrors");
        for (int i = 0; errors->isVisibleTo(dialog) && i < errors->count(); ++i)
            message += '\n' + errors->item(i)->text();
        warning = dialog->findChild<QLabel*>("m_labelWarning")->text();
        QTest::mouseClick(dialog->findChild<QPushButton*>("m_pushButtonOK"), Qt::LeftButton);
    });
    QTest::mouseClick(w.findChild<QPushButton*>("m_pushButtonFilterPlanner"), Qt::LeftButton);
    QCOMPARE(answerer.seen().value(0).className, QStringLiteral("FilterPlannerDialog"));
    QTEST(message, "message");
    QTEST(warning, "warning");
    QTEST(w.filterFrames().at(first - 1), "frame");
    QTEST(shownText(filterLabel(w)), "line");
    QTEST(ticked(w, 9), "kept10");
}

// Keys in the filter table, sent where the keyboard is, the rows in the two
// styles in turn: the moving keys and typed digits change no bank; a box
// changes only from its list, opened by a key meant for it. The current cell
// is framed, over a box too.
void TestChannalWidget::tableKeys_data() {
    QTest::addColumn<QPoint>("start");  // column, row; (-1, -1): the button before the table
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QPoint>("end");
    QTest::addColumn<int>("mode");  // byte 6 of bank 3's frame
    auto add = [n = 0](QPoint start, const char* keys, QPoint end, int mode) mutable {
        QTest::addRow("%s: %s", n++ % 2 ? "Windows" : "Fusion", keys) << start << keys << end << mode;
    };
    add({-1, -1}, "Tab", {0, 0}, 0x01);
    add({-1, -1}, "Tab, Right", {1, 0}, 0x01);
    for (int style = 0; style < 2; ++style)
        add({0, 2}, "Right, Down, Right, 1, Up, PgDown, Left, PgUp, Home, End", {4, 0}, 0x01);
    // Along bank 3: its work mode, then its bit width.
    add({1, 2}, "Space, Down, Return, Right, F2, Up, Return", {2, 2}, 0x10);
    add({1, 2}, "Return, Down, Enter, Right, F4, Up, Return", {2, 2}, 0x10);
    add({1, 2}, "Alt+Down, Down, Return, Right, Alt+Down, Up, Esc", {2, 2}, 0x11);
    // The click ticks bank 6 and makes its cell current, Space unticks it again.
    add({-1, -1}, "Click 0 5, Space", {0, 5}, 0x01);
}

void TestChannalWidget::tableKeys() {
    QFETCH(QPoint, start);
    QFETCH(QString, keys);
    QApplication::setStyle(QString(QTest::currentDataTag()).section(':', 0, 0));
    ChannalWidget w(1);
    w.resize(700, 600);  // every row shown: a page is the whole table
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTableWidget* t = table(w);
    QList<QByteArray> frames = w.filterFrames();
    (start.x() < 0 ? static_cast<QWidget*>(w.findChild<QPushButton*>("m_pushButtonBitTiming")) : t)
        ->setFocus();
    if (start.x() >= 0) t->setCurrentCell(start.y(), start.x());
    for (const QString& key : keys.split(", ")) {  // to the focus, or the list open
        if (key.startsWith("Click ")) {            // "Click COLUMN ROW": its box, or its check box
            const int column = key.section(' ', 1, 1).toInt();
            const int row = key.section(' ', 2, 2).toInt();
            if (QWidget* box = t->cellWidget(row, column)) {
                QTest::mouseClick(box, Qt::LeftButton);
            } else {
                QStyleOptionViewItem option;
                option.initFrom(t->viewport());
                option.rect = t->visualRect(t->model()->index(row, column));
                option.features = QStyleOptionViewItem::HasCheckIndicator;
                QTest::mouseClick(
                    t->viewport(), Qt::LeftButton, {},
                    t->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, t).center());
            }
        } else {
            QTest::keySequence(static_cast<QWidget*>(nullptr), QKeySequence(key));
        }
        QCoreApplication::processEvents();
    }
    QFETCH(int, mode);
    frames[2][6] = char(mode);
    QCOMPARE(w.filterFrames(), frames);
    QTEST(QPoint(t->currentColumn(), t->currentRow()), "end");
    QVERIFY2(filterLabel(w)->text().startsWith(QString("过滤器组%1：").arg(t->currentRow() + 1)),
             qPrintable(filterLabel(w)->text()));
    const QRect cell = t->visualRect(t->currentIndex()).translated(t->viewport()->pos());
    QCOMPARE(t->grab().toImage().pixelColor(cell.left() + 1, cell.center().y()),
             t->palette().color(QPalette::Highlight));
}

// A register text of 10,000 characters from a file leaves the ID column as
// wide and the mask column in the table; the cell's tool tip has it whole.
void TestChannalWidget::longRegisterText() {
    ChannalWidget w(1);
    w.show();
    QTableWidget* t = table(w);
    const int idWidth = t->columnWidth(3);
    const QString text = QString("12 34 56 78 ").repeated(834).left(10000);
    QJsonArray list = defaultDataList();
    list[2] = "0, 0, 1," + text + "," + text;
    w.fromJson({{"BaudRate", "0x001C00E0"}, {"DataList", list}});
    QCOMPARE(t->columnWidth(3), idWidth);
    QVERIFY(t->horizontalHeader()->sectionViewportPosition(4) + t->columnWidth(4) <= t->viewport()->width());
    const QPoint at = t->visualItemRect(t->item(2, 4)).center();
    QHelpEvent help(QEvent::ToolTip, at, t->viewport()->mapToGlobal(at));
    QApplication::sendEvent(t->viewport(), &help);
    QVERIFY(QToolTip::text().startsWith(text));
}

QTEST_MAIN(TestChannalWidget)
#include "tst_channalwidget.moc"
