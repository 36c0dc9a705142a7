// The bit-timing word's rules and the calculator dialog, checked against
// figures worked out by hand from the controller's formula (36 MHz clock)
// and against what the Linux kernel's bit-timing calculation picks for the
// same controller limits.
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

#include "BitTiming.h"
#include "BitTimingDialog.h"

using BitTiming::Problem;

Q_DECLARE_METATYPE(QVector<Problem>)

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

BitTiming::Request request(double bitRate, double samplePoint, int sjw = 1, double tolerance = 0.005) {
    BitTiming::Request r;
    r.bitRate = bitRate;
    r.samplePoint = samplePoint;
    r.sjw = sjw;
    r.tolerance = tolerance;
    return r;
}

QString wordText(const BitTiming::Candidate& candidate) {
    return QString::fromLatin1(candidate.word().toHex().toUpper());
}

struct Dialog {
    BitTimingDialog dialog;
    QLineEdit* edit(const char* name) { return dialog.findChild<QLineEdit*>(name); }
    QTableWidget* table() { return dialog.findChild<QTableWidget*>("m_tableWords"); }
    QString message() { return dialog.findChild<QLabel*>("m_labelMessage")->text(); }
    // Its style sheet takes effect on polishing.
    bool messageRed() {
        auto* label = dialog.findChild<QLabel*>("m_labelMessage");
        label->ensurePolished();
        return label->palette().color(QPalette::WindowText) == QColor(Qt::red);
    }
    QPushButton* ok() { return dialog.findChild<QPushButton*>("m_pushButtonOK"); }
    QStringList row(int r) {
        QStringList texts;
        for (int c = 0; c < table()->columnCount(); ++c) texts << table()->item(r, c)->text();
        return texts;
    }
    int selectedRow() {
        const QList<QTableWidgetItem*> items = table()->selectedItems();
        return items.isEmpty() ? -1 : items.first()->row();
    }
};

}  // namespace

class TestBitTiming : public QObject {
    Q_OBJECT
private slots:
    void tableWords_data();
    void tableWords();
    void describe_data();
    void describe();
    void kernelReference_data();
    void kernelReference();
    void ranking();

    void dialogStart();
    void samplePointFollowsRate_data();
    void samplePointFollowsRate();
    void listFollowsFields();
    void fieldMessages_data();
    void fieldMessages();
    void acceptedFields_data();
    void acceptedFields();
    void dialogNothingFits_data();
    void dialogNothingFits();
    void takingARow();
};

void TestBitTiming::tableWords_data() {
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<double>("rate");         // bit/s, as the table names it
    QTest::addColumn<double>("samplePoint");  // (1 + seg1) / quanta, by hand
    QTest::addColumn<int>("quanta");
    // prescaler = bits 0-9 + 1, seg1 = bits 16-19 + 1, seg2 = bits 20-22 + 1
    QTest::newRow("5K") << hex("00450257") << 5000.0 << 7.0 / 12 << 12;      // 600, 6, 5
    QTest::newRow("10K") << hex("001C00E0") << 10000.0 << 14.0 / 16 << 16;   // 225, 13, 2
    QTest::newRow("20K") << hex("000500E0") << 20000.0 << 7.0 / 8 << 8;      // 225, 6, 1
    QTest::newRow("40K") << hex("00780031") << 40000.0 << 10.0 / 18 << 18;   // 50, 9, 8
    QTest::newRow("50K") << hex("0067002C") << 50000.0 << 9.0 / 16 << 16;    // 45, 8, 7
    QTest::newRow("80K") << hex("004B0018") << 80000.0 << 13.0 / 18 << 18;   // 25, 12, 5
    QTest::newRow("100K") << hex("0012003B") << 100000.0 << 4.0 / 6 << 6;    // 60, 3, 2
    QTest::newRow("125K") << hex("0012002F") << 125000.0 << 4.0 / 6 << 6;    // 48, 3, 2
    QTest::newRow("200K") << hex("0027000E") << 200000.0 << 9.0 / 12 << 12;  // 15, 8, 3
    QTest::newRow("250K") << hex("00120017") << 250000.0 << 4.0 / 6 << 6;    // 24, 3, 2
    QTest::newRow("400K") << hex("00160008") << 400000.0 << 8.0 / 10 << 10;  // 9, 7, 2
    QTest::newRow("500K") << hex("0012000B") << 500000.0 << 4.0 / 6 << 6;    // 12, 3, 2
    QTest::newRow("666K") << hex("00240005") << 666666.7 << 6.0 / 9 << 9;    // 6, 5, 3
    QTest::newRow("800K") << hex("00240004") << 800000.0 << 6.0 / 9 << 9;    // 5, 5, 3
    QTest::newRow("1000K") << hex("00120005") << 1000000.0 << 4.0 / 6 << 6;  // 6, 3, 2
}

// Each table word decodes to its rate and sample point, and the calculator
// finds a word of exactly that rate.
void TestBitTiming::tableWords() {
    QFETCH(QByteArray, word);
    QFETCH(double, rate);
    QFETCH(double, samplePoint);
    const BitTiming::Decoded decoded = BitTiming::decode(word);
    QVERIFY(decoded.problems.isEmpty());
    QVERIFY(!decoded.adaptive);
    QVERIFY2(qAbs(decoded.fields.bitRate() - rate) < 0.05,
             qPrintable(QString::number(decoded.fields.bitRate())));
    QVERIFY(qAbs(decoded.fields.samplePoint() - samplePoint) < 1e-12);
    QTEST(decoded.fields.quanta(), "quanta");
    QCOMPARE(decoded.fields.sjw, 1);
    QCOMPARE(BitTiming::encode(decoded.fields), word);

    const QVector<BitTiming::Candidate> found =
        BitTiming::search(request(rate, BitTiming::defaultSamplePoint(rate)));
    QVERIFY(!found.isEmpty());
    // 666K asks for 666 666.7 and gets 36 MHz / 54.
    QVERIFY2(qAbs(found.first().bitRate - rate) < 0.05, qPrintable(QString::number(found.first().bitRate)));
}

void TestBitTiming::describe_data() {
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<QVector<Problem>>("problems");
    QTest::addColumn<QString>("line");
    const auto row = [](const char* name, const char* word, const QVector<Problem>& problems,
                        const char* line) { QTest::newRow(name) << hex(word) << problems << QString(line); };
    row("100K", "0012003B", {}, "100 kbit/s，采样点 66.7 %，每位 6 个时间份额，SJW 1");
    row("666K", "00240005", {}, "666.667 kbit/s，采样点 66.7 %，每位 9 个时间份额，SJW 1");
    row("50K: 56.25 % rounds up", "0067002C", {}, "50 kbit/s，采样点 56.3 %，每位 16 个时间份额，SJW 1");
    row("every field at its top", "037F03FF", {}, "1.406 kbit/s，采样点 68.0 %，每位 25 个时间份额，SJW 4");
    row("adaptive", "00000000", {}, "自适应：由设备检测波特率");
    row("empty", "", {Problem::NotFourBytes}, "须为4个字节，实为0个");
    row("custom entry", "FFFFFFFF", {Problem::StrayBits, Problem::LoopBack, Problem::Silent},
        "字段外的位不为0：0x3C80FC00；回环模式（位30）；静默模式（位31），不应答任何帧");
    row("silent", "8012003B", {Problem::Silent}, "静默模式（位31），不应答任何帧");
    // Prescaler 60 and 1 + 1 + 1 quanta: a jump of 4 quanta overshoots both segments.
    row("SJW longer than the segments", "0300003B", {Problem::SjwTooLong},
        "200 kbit/s，采样点 66.7 %，每位 3 个时间份额，SJW 4；SJW 4 长于时间段");
    // Prescaler 1, 1 + 2 + 1 quanta: 9 Mbit/s, nine times CAN's fastest.
    row("faster than CAN", "00010000", {Problem::TooFast},
        "9000 kbit/s，采样点 75.0 %，每位 4 个时间份额，SJW 1；快于CAN的最高速率1000 kbit/s");
    row("both", "03000000", {Problem::SjwTooLong, Problem::TooFast},
        "12000 kbit/s，采样点 66.7 %，每位 3 个时间份额，SJW 4；SJW 4 长于时间段；快于CAN的最高速率1000 "
        "kbit/s");
}

void TestBitTiming::describe() {
    QFETCH(QByteArray, word);
    const BitTiming::Decoded decoded = BitTiming::decode(word);
    QTEST(decoded.problems, "problems");
    QTEST(BitTiming::describe(word), "line");
    if (decoded.problems.isEmpty()) QCOMPARE(BitTiming::encode(decoded.fields), word);
}

void TestBitTiming::kernelReference_data() {
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("nominal");     // the kernel's default sample point
    QTest::addColumn<double>("kernelRate");  // what the kernel's pick gives
    QTest::addColumn<double>("kernelPoint");
    // can_calc_bittiming worked through from its description for tseg1
    // 1-16, tseg2 1-8, brp 1-1024 at 36 MHz (tseg from the top down, brp
    // rounded, best rate error, then the sample point nearest at or below
    // the nominal one):
    // 36 MHz / (135 x 8 tq) = 33 333.333, sp 7/8 = 87.5 %
    QTest::newRow("33.333") << 33333.0 << 0.875 << 33333.333333 << 7.0 / 8;
    // 36 MHz / (45 x 16 tq) = 50 000, sp 14/16 = 87.5 %
    QTest::newRow("50") << 50000.0 << 0.875 << 50000.0 << 14.0 / 16;
    // 36 MHz / (27 x 16 tq) = 83 333.333, sp 14/16 = 87.5 %
    QTest::newRow("83.333") << 83333.0 << 0.875 << 83333.333333 << 14.0 / 16;
    // 36 MHz / (18 x 16 tq) = 125 000, sp 14/16 = 87.5 %
    QTest::newRow("125") << 125000.0 << 0.875 << 125000.0 << 14.0 / 16;
    // 36 MHz / (9 x 16 tq) = 250 000, sp 14/16 = 87.5 %
    QTest::newRow("250") << 250000.0 << 0.875 << 250000.0 << 14.0 / 16;
    // 36 MHz / (9 x 8 tq) = 500 000, sp 7/8 = 87.5 %
    QTest::newRow("500") << 500000.0 << 0.875 << 500000.0 << 7.0 / 8;
    // 36 MHz / (3 x 15 tq) = 800 000, sp 12/15 = 80 %
    QTest::newRow("800") << 800000.0 << 0.80 << 800000.0 << 12.0 / 15;
    // 36 MHz / (3 x 12 tq) = 1 000 000, sp 9/12 = 75 %
    QTest::newRow("1000") << 1000000.0 << 0.75 << 1000000.0 << 9.0 / 12;
}

void TestBitTiming::kernelReference() {
    QFETCH(double, rate);
    QFETCH(double, nominal);
    QFETCH(double, kernelRate);
    QFETCH(double, kernelPoint);
    QCOMPARE(BitTiming::defaultSamplePoint(rate), nominal);
    const QVector<BitTiming::Candidate> found = BitTiming::search(request(rate, nominal));
    QVERIFY(!found.isEmpty());
    const BitTiming::Candidate& best = found.first();
    QVERIFY(qAbs(best.error) <= qAbs(kernelRate / rate - 1) + 1e-9);
    QVERIFY(qAbs(best.fields.samplePoint() - nominal) <= qAbs(kernelPoint - nominal) + 1e-9);
}

void TestBitTiming::ranking() {
    // 1 Mbit/s exactly: prescaler x quanta = 36. Worked by hand: 75 % in 12
    // and 4 quanta; then 1/36 away: 14/18, 13/18 (later point first), 7/9;
    // then 1/12 away, 18 quanta first: 15/18, 12/18.
    const QVector<BitTiming::Candidate> found = BitTiming::search(request(1000000, 0.75, 1, 0));
    QStringList words;
    for (int i = 0; i < 7; ++i) words << wordText(found.at(i));
    QCOMPARE(words, QStringList({"00270002", "00010008", "003C0001", "004B0001", "00150003", "002D0001",
                                 "005A0001"}));
    // 3 quanta: 1 split, 4: 2, 6: 4, 9: 7, 12: 8, 18: 8.
    QCOMPARE(found.size(), 30);
    for (const BitTiming::Candidate& c : found) QCOMPARE(c.error, 0.0);

    // With SJW 4 both segments need 4 quanta: 9/12 is gone, 14/18 is best.
    const QVector<BitTiming::Candidate> sjw4 = BitTiming::search(request(1000000, 0.75, 4, 0));
    QCOMPARE(sjw4.size(), 10);  // 12 quanta: 4 splits, 18: 5, 9: 1
    QCOMPARE(wordText(sjw4.first()), QStringLiteral("033C0001"));
    QVERIFY(BitTiming::search(request(1000000, 0.75, 5, 0)).isEmpty());
    QVERIFY(BitTiming::search(request(0, 0.75)).isEmpty());
    // Every field at its smallest gives 12 Mbit/s, but that word is "自适应".
    QVERIFY(BitTiming::search(request(12000000, 2.0 / 3, 1, 0)).isEmpty());
}

void TestBitTiming::dialogStart() {
    Dialog d;
    QVERIFY(d.dialog.isModal());
    QCOMPARE(d.edit("m_editBitRate")->text(), QString());
    QCOMPARE(d.edit("m_editSamplePoint")->text(), QStringLiteral("87.5"));
    QCOMPARE(d.edit("m_editSjw")->text(), QStringLiteral("1"));
    QCOMPARE(d.edit("m_editTolerance")->text(), QStringLiteral("0.5"));
    QCOMPARE(d.table()->rowCount(), 0);
    // A hint, not a complaint.
    QCOMPARE(d.message(), QStringLiteral("输入比特率（kbit/s），列出可用的位定时字"));
    QVERIFY(!d.messageRed());
    QVERIFY(!d.ok()->isEnabled());
    d.dialog.accept();  // nothing to take: stays open
    QCOMPARE(d.dialog.result(), 0);
    QVERIFY(d.dialog.word().isEmpty());
}

void TestBitTiming::samplePointFollowsRate_data() {
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("samplePoint");
    for (const auto& row :
         {std::pair<const char*, const char*>{"500.001", "80"}, {"800.5", "75"}, {"8x", "87.5"}})
        QTest::newRow(row.first) << QString(row.first) << QString(row.second);
}

void TestBitTiming::samplePointFollowsRate() {
    QFETCH(QString, rate);
    Dialog d;
    QTest::keyClicks(d.edit("m_editBitRate"), rate);
    QTEST(d.edit("m_editSamplePoint")->text(), "samplePoint");

    // Once typed, the sample point stays.
    d.edit("m_editSamplePoint")->selectAll();
    QTest::keyClicks(d.edit("m_editSamplePoint"), "70");
    d.edit("m_editBitRate")->setText("1000");
    QCOMPARE(d.edit("m_editSamplePoint")->text(), QStringLiteral("70"));
}

void TestBitTiming::listFollowsFields() {
    Dialog d;
    QTest::keyClicks(d.edit("m_editBitRate"), "250");
    QVERIFY(d.table()->rowCount() > 1);
    QCOMPARE(d.row(0), QStringList({"0x001C0008", "250000", "0.000 %", "87.5 %", "16"}));
    QCOMPARE(d.selectedRow(), 0);
    QCOMPARE(d.message(), QStringLiteral("可用的位定时字：%1个，最佳在前").arg(d.table()->rowCount()));
    QVERIFY(d.ok()->isEnabled());

    // SJW 4: segment 2 needs 4 quanta, 14/18 comes closest.
    d.edit("m_editSjw")->setText("4");
    QCOMPARE(d.row(0), QStringList({"0x033C0007", "250000", "0.000 %", "77.8 %", "18"}));
    QCOMPARE(d.selectedRow(), 0);

    // 33.333 kbit/s: 36 MHz / (135 x 8) is 0.001 % fast.
    d.edit("m_editSjw")->setText("1");
    d.edit("m_editBitRate")->setText("33.333");
    QCOMPARE(d.row(0), QStringList({"0x00050086", "33333.333", "+0.001 %", "87.5 %", "8"}));
}

void TestBitTiming::fieldMessages_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* name, const char* field, const char* text, const char* message) {
        QTest::newRow(name) << QString(field) << QString(text) << QString(message);
    };
    row("rate zero", "m_editBitRate", "0", "比特率须为大于0的数（kbit/s）");
    row("rate comma", "m_editBitRate", "33,3", "比特率须为大于0的数（kbit/s）");
    row("rate with a group separator", "m_editBitRate", "1,000", "比特率须为大于0的数（kbit/s）");
    row("sjw with a group separator", "m_editSjw", "1,000", "SJW须为1到4的整数");
    row("rate above CAN's", "m_editBitRate", "1000.001", "比特率不能高于1000 kbit/s（CAN的最高速率）");
    row("rate far above", "m_editBitRate", "1e308", "比特率不能高于1000 kbit/s（CAN的最高速率）");
    row("rate far below", "m_editBitRate", "1e-300", "比特率不能低于1.406 kbit/s（控制器能产生的最低速率）");
    row("sample point 100", "m_editSamplePoint", "100", "采样点须为大于0、小于100的数（%）");
    row("sjw 1.5", "m_editSjw", "1.5", "SJW须为1到4的整数");
    row("sjw 5", "m_editSjw", "5", "SJW须为1到4的整数");
    row("tolerance negative", "m_editTolerance", "-0.1", "容差须为0到2之间的数（%）");
    row("tolerance above 2", "m_editTolerance", "2.5", "容差须为0到2之间的数（%）");
}

void TestBitTiming::fieldMessages() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    Dialog d;
    d.edit("m_editBitRate")->setText("125");
    QVERIFY(d.table()->rowCount() > 0);
    d.edit(qPrintable(field))->setText(text);
    QCOMPARE(d.table()->rowCount(), 0);
    QVERIFY(!d.ok()->isEnabled());
    QTEST(d.message(), "message");
    QVERIFY(d.messageRed());
    QVERIFY(d.dialog.sizeHint().width() <= QGuiApplication::primaryScreen()->availableGeometry().width());
}

// What a field takes as a number, and the first word it then gives.
void TestBitTiming::acceptedFields_data() {
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("tolerance");
    QTest::addColumn<QStringList>("first");
    // 36 MHz / (1024 x 25): the floor, shown as 1.406 kbit/s.
    QTest::newRow("the floor as it is shown")
        << "1.406"
        << "0.5" << QStringList{"0x007F03FF", "1406.25", "+0.018 %", "68.0 %", "25"};
    QTest::newRow("full-width digits, as a Chinese input method types them")
        << "５００"
        << "０．５" << QStringList{"0x00050008", "500000", "0.000 %", "87.5 %", "8"};
    // 36 MHz / 756 is 0.0001 % off 47.619: exact as the list shows it.
    QTest::newRow("exact as shown, at a tolerance of 0")
        << "47.619"
        << "0" << QStringList{"0x001E0029", "47619.048", "0.000 %", "88.9 %", "18"};
}

void TestBitTiming::acceptedFields() {
    QFETCH(QString, rate);
    QFETCH(QString, tolerance);
    Dialog d;
    d.edit("m_editTolerance")->setText(tolerance);
    d.edit("m_editBitRate")->setText(rate);
    QVERIFY2(d.table()->rowCount() > 0, qPrintable(d.message()));
    QTEST(d.row(0), "first");
    QVERIFY(d.ok()->isEnabled());
}

// No row, and a line that says why and names the closest word; the texts
// are those of the language of the moment, the composed ones included.
// 36 MHz / 47 620 = 755.98: no word within ±0; 756 = 42 x 18 with 16/18
// gives 47 619.048, 0.002 % slow.
void TestBitTiming::dialogNothingFits_data() {
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("Chinese")
        << QString() << QStringLiteral("位定时计算")
        << "±0 %内没有可用的位定时字；最接近的是0x001E0029（47.619 kbit/s，误差-0.002 %）";
    QTest::newRow("English")
        << ":/Language/tarvane_en.qm" << QStringLiteral("Bit Timing Calculator")
        << "No word within ±0 %; the closest is 0x001E0029 (47.619 kbit/s, off by -0.002 %)";
}

void TestBitTiming::dialogNothingFits() {
    QFETCH(QString, catalogue);
    QTranslator translator;  // leaves the application when destroyed
    if (!catalogue.isEmpty())
        QVERIFY(translator.load(catalogue) && QCoreApplication::installTranslator(&translator));
    Dialog d;
    d.edit("m_editTolerance")->setText("0");
    d.edit("m_editBitRate")->setText("47.62");
    QTEST(d.dialog.windowTitle(), "title");
    QCOMPARE(d.table()->rowCount(), 0);
    QTEST(d.message(), "message");
    QVERIFY(!d.messageRed());  // a result, not a mistake
    d.edit("m_editTolerance")->setText("0.002");
    QCOMPARE(d.row(0).first(), QStringLiteral("0x001E0029"));
}

void TestBitTiming::takingARow() {
    Dialog d;
    d.dialog.setBitRate(1000000);
    QCOMPARE(d.edit("m_editBitRate")->text(), QStringLiteral("1000"));
    QCOMPARE(d.edit("m_editSamplePoint")->text(), QStringLiteral("75"));
    d.table()->selectRow(1);
    d.dialog.accept();
    QCOMPARE(d.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(d.dialog.word(), hex("00010008"));

    Dialog twice;
    twice.dialog.setBitRate(1000000);
    emit twice.table()->cellDoubleClicked(2, 3);
    QCOMPARE(twice.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(twice.dialog.word(), hex("003C0001"));
}

QTEST_MAIN(TestBitTiming)
#include "tst_bittiming.moc"
