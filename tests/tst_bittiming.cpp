// The bit-timing word's rules and the calculator dialog, checked against
// figures worked out by hand from the controller's formula (36 MHz clock),
// against what the Linux kernel's bit-timing calculation picks for the same
// controller limits, and the clock tolerance and bus length of a word against
// the relations of Hartwich and Bassemir ("The Configuration of the CAN Bit
// Timing", 1999), worked by hand and over every word there is.
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
#include "BusLimits.h"

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

// A word by the paper's relations, with phase segment 1 as long as phase
// segment 2 where time segment 1 leaves a quantum of propagation segment.
struct Reference {
    double error = 0;      // of the rate asked for
    double tolerance = 0;  // percent
    double reachNs = 0;    // half the propagation segment less the node delay
    bool covers = false;   // 2 (5 ns/m x length + node delay) <= propagation segment

    Reference(const BitTiming::Fields& f, double bitRate, double lengthMetres, double nodeDelayNs) {
        const int bit = 1 + f.segment1 + f.segment2;
        const int phase2 = f.segment2;
        const int phase1 = qMin(f.segment2, f.segment1 - 1);
        const int propagation = f.segment1 - phase1;
        error = 36e6 / (double(f.prescaler) * bit) / bitRate - 1;
        tolerance = 100 * qMin(qMin(phase1, phase2) / (2.0 * (13 * bit - phase2)), f.sjw / (20.0 * bit));
        const double propagationNs = propagation * f.prescaler * 1e9 / 36e6;
        reachNs = propagationNs / 2 - nodeDelayNs;
        covers = 2 * (5 * lengthMetres + nodeDelayNs) <= propagationNs + 1e-9;
    }
};

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
    void busLimits_data();
    void busLimits();
    void boundsOverEveryWord();
    void calculatorChoice_data();
    void calculatorChoice();

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
    // and 4 quanta; then 1/36 away: 14/18, 7/9, 13/18; then 1/12 away: 15/18,
    // 10/12. At 335 ns per node none covers even the nodes, so of the words
    // alike the one whose propagation segment comes nearest goes first: half
    // of it is 208 ns (12 x 5/36 us / 2) against 125 ns; 250, 222 and 194 ns;
    // 306 and 292 ns.
    const QVector<BitTiming::Candidate> found = BitTiming::search(request(1000000, 0.75, 1, 0));
    QStringList words;
    for (int i = 0; i < 7; ++i) words << wordText(found.at(i));
    QCOMPARE(words, QStringList({"00270002", "00010008", "003C0001", "00150003", "004B0001", "002D0001",
                                 "00180002"}));
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

// Words worked by hand: t quanta per bit, PS1 = min(PS2, TSEG1 - 1), the
// propagation segment the rest; tolerance the smaller of min(PS1, PS2) /
// (2 (13 t - PS2)) and SJW / (20 t); the longest bus (half the propagation
// segment less 335 ns) / 5 ns/m, one quantum being prescaler / 36 MHz.
void TestBitTiming::busLimits_data() {
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<double>("tolerance");  // percent
    QTest::addColumn<int>("bound");
    QTest::addColumn<int>("propagation");
    QTest::addColumn<int>("phase1");
    QTest::addColumn<double>("metres");
    QTest::addColumn<QStringList>("notes");
    const int phase = int(BusLimits::Bound::PhaseSegments);
    const int sjw = int(BusLimits::Bound::Sjw);
    // 225 x 16 quanta, PS2 2, SJW 1: 1 / 320 against 2 / 412; 6.25 us quanta.
    QTest::newRow("10K: the SJW bound")
        << hex("001C00E0") << 0.3125 << sjw << 11 << 2 << (11 * 6250 / 2.0 - 335) / 5
        << QStringList{"SJW 2 也合适，时钟容差可达 ±0.4854 %"};
    // The paper's widest: propagation 1, PS1 = PS2 = SJW = 4 in 10 quanta,
    // 4 / 252 = 1.58 %; 100 kbit/s has no recommended sample point.
    QTest::newRow("PS1 = PS2 = SJW = 4")
        << hex("03340023") << 400.0 / 252 << phase << 1 << 4 << (1000 / 2.0 - 335) / 5 << QStringList();
    // 18 x 8 quanta, PS2 1: 1 / 206 against 1 / 160; no longer SJW fits.
    QTest::newRow("250K in 8 quanta: the phase bound")
        << hex("00050011") << 100.0 / 206 << phase << 5 << 1 << (5 * 500 / 2.0 - 335) / 5 << QStringList();
    QTest::newRow("250K in 16 quanta, SJW 2")
        << hex("011C0008") << 200.0 / 412 << phase << 11 << 2 << (11 * 250 / 2.0 - 335) / 5 << QStringList();
    // 48 x 6 quanta at 66.7 %: 1 / 120, with SJW 2 then 2 / 152.
    QTest::newRow("125K of the table")
        << hex("0012002F") << 100.0 / 120 << sjw << 1 << 2 << (48000.0 / 36 / 2 - 335) / 5
        << QStringList{"CANopen在此速率建议采样点 87.5 %", "SJW 2 也合适，时钟容差可达 ±1.3157 %"};
    // 12 x 6 quanta: half a 333 ns quantum does not cover 335 ns.
    QTest::newRow("500K of the table: no bus")
        << hex("0012000B") << 100.0 / 120 << sjw << 1 << 2 << (12000.0 / 36 / 2 - 335) / 5
        << QStringList{"CANopen和J1939在此速率建议采样点 87.5 %", "SJW 2 也合适，时钟容差可达 ±1.3157 %"};
    // CANopen's 80 % at 800 kbit/s is no note; 5 x 9 quanta, PS2 3.
    QTest::newRow("800K of the table")
        << hex("00240004") << 100.0 / 180 << sjw << 2 << 3 << (2 * 5000.0 / 36 / 2 - 335) / 5
        << QStringList{"SJW 3 也合适，时钟容差可达 ±1.3157 %"};
    // 16 x 18 quanta at 88.9 %, near enough to 87.5 %.
    QTest::newRow("125K at 88.9 %") << hex("001E000F") << 100.0 / 360 << sjw << 13 << 2
                                    << (13 * 16000.0 / 36 / 2 - 335) / 5
                                    << QStringList{"SJW 2 也合适，时钟容差可达 ±0.431 %"};
    // Time segment 1 of one quantum leaves no phase segment 1: no tolerance.
    QTest::newRow("time segment 1 of one quantum")
        << hex("0010000B") << 0.0 << phase << 1 << 0 << (12000.0 / 36 / 2 - 335) / 5 << QStringList();
}

void TestBitTiming::busLimits() {
    QFETCH(QByteArray, word);
    QFETCH(double, tolerance);
    QFETCH(double, metres);
    const BitTiming::Decoded decoded = BitTiming::decode(word);
    QVERIFY(decoded.problems.isEmpty());
    const BusLimits::Limits limits = BusLimits::of(decoded.fields);
    QVERIFY2(qAbs(limits.tolerancePercent - tolerance) < 1e-12,
             qPrintable(QString::number(limits.tolerancePercent)));
    QTEST(int(limits.bound), "bound");
    QTEST(limits.propagationSegment, "propagation");
    QTEST(limits.phaseSegment1, "phase1");
    QCOMPARE(limits.phaseSegment2, decoded.fields.segment2);
    QVERIFY2(qAbs(limits.maxLengthMetres - metres) < 1e-6,
             qPrintable(QString::number(limits.maxLengthMetres)));
    QTEST(BusLimits::notes(decoded.fields), "notes");
}

// Over every field combination, 1024 prescalers x 16 x 8 segment lengths x
// 4 SJW: a longer SJW never lowers the tolerance, and a longer cable never
// raises the fastest rate a word that covers it gives; each word's longest
// bus is the length the relation allows, to the centimetre.
void TestBitTiming::boundsOverEveryWord() {
    const double lengths[] = {0, 5, 10, 25, 40, 100, 250, 500, 1000, 2500, 5000, 10000, 20000};
    double fastest[std::size(lengths)] = {};
    int combinations = 0;
    QString fault;
    for (int segment1 = 1; segment1 <= 16 && fault.isEmpty(); ++segment1) {
        for (int segment2 = 1; segment2 <= 8; ++segment2) {
            for (int prescaler = 1; prescaler <= 1024; ++prescaler) {
                double tolerance = -1;
                for (int sjw = 1; sjw <= 4; ++sjw) {
                    ++combinations;
                    const BitTiming::Fields fields{prescaler, segment1, segment2, sjw};
                    const BusLimits::Limits limits = BusLimits::of(fields);
                    if (limits.tolerancePercent < tolerance)
                        fault = QStringLiteral("SJW %1 lowers the tolerance of %2").arg(sjw).arg(prescaler);
                    tolerance = limits.tolerancePercent;
                }
                const BitTiming::Fields fields{prescaler, segment1, segment2, 1};
                const BusLimits::Limits limits = BusLimits::of(fields);
                const Reference atMost(fields, 1, limits.maxLengthMetres - 0.01, 335);
                const Reference beyond(fields, 1, limits.maxLengthMetres + 0.01, 335);
                if (limits.maxLengthMetres >= 0.01 && (!atMost.covers || beyond.covers))
                    fault =
                        QStringLiteral("longest bus of %1/%2/%3").arg(prescaler).arg(segment1).arg(segment2);
                for (size_t i = 0; i < std::size(lengths); ++i)
                    if (Reference(fields, 1, lengths[i], 335).covers)
                        fastest[i] = qMax(fastest[i], fields.bitRate());
            }
        }
    }
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    QCOMPARE(combinations, 524288);
    for (size_t i = 1; i < std::size(lengths); ++i)
        QVERIFY2(fastest[i] <= fastest[i - 1], qPrintable(QString::number(lengths[i])));
    // By hand: 2 (5 ns/m x length + 335 ns) must fit into the propagation
    // segment, at most 15 quanta with PS1 = PS2 = 1. The nodes alone take
    // 670 ns: 13 quanta of 2 / 36 MHz, 16 in the bit, 1.125 Mbit/s; 40 m take
    // 1070 ns: 13 quanta of 3 / 36 MHz, 750 kbit/s.
    QCOMPARE(fastest[0], 1125000.0);
    QCOMPARE(fastest[4], 750000.0);
}

void TestBitTiming::calculatorChoice_data() {
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("samplePoint");
    QTest::addColumn<int>("sjw");
    QTest::addColumn<double>("length");     // metres; 0 as the calculator without one
    QTest::addColumn<double>("nodeDelay");  // ns
    QTest::addColumn<QString>("first");     // worked by hand
    // 8 quanta, 0.4854 % and 183 m, before 16 quanta, 0.3125 % and 208 m.
    QTest::newRow("250K") << 250000.0 << 0.875 << 1 << 0.0 << 335.0 << "00050011";
    QTest::newRow("250K over 200 m") << 250000.0 << 0.875 << 1 << 200.0 << 335.0 << "001C0008";
    QTest::newRow("250K over 300 m: none covers it")
        << 250000.0 << 0.875 << 1 << 300.0 << 335.0 << "001C0008";
    // 16 quanta with SJW 2 reach 0.4854 % too, and 8 quanta take no SJW 2.
    QTest::newRow("250K, SJW 2") << 250000.0 << 0.875 << 2 << 0.0 << 335.0 << "011C0008";
    QTest::newRow("250K over 200 m, nodes of 100 ns")
        << 250000.0 << 0.875 << 1 << 200.0 << 100.0 << "00050011";
    QTest::newRow("125K over 450 m") << 125000.0 << 0.875 << 1 << 450.0 << 335.0 << "001C0011";
    QTest::newRow("1000K: no word covers the nodes") << 1000000.0 << 0.75 << 1 << 0.0 << 335.0 << "00270002";
    QTest::newRow("1000K over 25 m, nodes of 120 ns")
        << 1000000.0 << 0.75 << 1 << 25.0 << 120.0 << "00270002";
    QTest::newRow("800K") << 800000.0 << 0.8 << 1 << 0.0 << 335.0 << "";
    QTest::newRow("500K over 40 m, 80 %") << 500000.0 << 0.8 << 1 << 40.0 << 335.0 << "";
    QTest::newRow("33.333K over 1 km") << 33333.0 << 0.875 << 1 << 1000.0 << 335.0 << "00050086";
    QTest::newRow("10K over 5 km, SJW 4") << 10000.0 << 0.875 << 4 << 5000.0 << 335.0 << "";
    QTest::newRow("47.62K: no exact word") << 47620.0 << 0.875 << 1 << 0.0 << 335.0 << "00060053";
}

// The calculator's first word against every word there is with the SJW
// asked for: of the words within 0.5 % (as the error shows) with the
// smallest error and the nearest sample point, it covers the bus if any of
// them does, with the largest tolerance of those that do; if none does, it
// comes nearest.
void TestBitTiming::calculatorChoice() {
    QFETCH(double, rate);
    QFETCH(double, samplePoint);
    QFETCH(int, sjw);
    QFETCH(double, length);
    QFETCH(double, nodeDelay);
    BitTiming::Request asked = request(rate, samplePoint, sjw);
    asked.bus.lengthMetres = length;
    asked.bus.nodeDelayNs = nodeDelay;
    const QVector<BitTiming::Candidate> found = BitTiming::search(asked);
    QVERIFY(!found.isEmpty());
    const BitTiming::Fields chosen = found.first().fields;
    const Reference choice(chosen, rate, length, nodeDelay);

    std::vector<std::pair<BitTiming::Fields, Reference>> words;
    for (int prescaler = 1; prescaler <= 1024; ++prescaler)
        for (int segment1 = sjw; segment1 <= 16; ++segment1)
            for (int segment2 = sjw; segment2 <= 8; ++segment2) {
                const BitTiming::Fields fields{prescaler, segment1, segment2, sjw};
                if (BitTiming::encode(fields) == hex("00000000")) continue;  // "自适应"
                const Reference word(fields, rate, length, nodeDelay);
                if (qAbs(word.error) < 0.005 + 0.000005) words.emplace_back(fields, word);
            }
    double error = 1;
    for (const auto& word : words) error = qMin(error, qAbs(word.second.error));
    double distance = 1;
    for (const auto& word : words)
        if (qAbs(word.second.error) - error < 1e-12)
            distance = qMin(distance, qAbs(word.first.samplePoint() - samplePoint));
    bool anyCovers = false;
    double tolerance = 0;
    double reach = -1e18;
    for (const auto& word : words) {
        if (qAbs(word.second.error) - error > 1e-12 ||
            qAbs(word.first.samplePoint() - samplePoint) - distance > 1e-12)
            continue;
        anyCovers = anyCovers || word.second.covers;
        if (word.second.covers) tolerance = qMax(tolerance, word.second.tolerance);
        reach = qMax(reach, word.second.reachNs);
    }
    QVERIFY(qAbs(qAbs(choice.error) - error) < 1e-12);
    QVERIFY(qAbs(qAbs(chosen.samplePoint() - samplePoint) - distance) < 1e-12);
    QCOMPARE(choice.covers, anyCovers);
    if (anyCovers)
        QVERIFY2(choice.tolerance >= tolerance - 1e-12, qPrintable(QString::number(tolerance)));
    else
        QVERIFY2(choice.reachNs >= reach - 1e-9, qPrintable(QString::number(reach)));
    QFETCH(QString, first);
    if (!first.isEmpty()) QCOMPARE(wordText(found.first()), first);
}

void TestBitTiming::dialogStart() {
    Dialog d;
    QVERIFY(d.dialog.isModal());
    QCOMPARE(d.edit("m_editBitRate")->text(), QString());
    QCOMPARE(d.edit("m_editSamplePoint")->text(), QStringLiteral("87.5"));
    QCOMPARE(d.edit("m_editSjw")->text(), QStringLiteral("1"));
    QCOMPARE(d.edit("m_editTolerance")->text(), QStringLiteral("0.5"));
    QCOMPARE(d.edit("m_editBusLength")->text(), QString());
    QCOMPARE(d.edit("m_editNodeDelay")->text(), QStringLiteral("335"));
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
    // 36 MHz / (18 x 8) at 7/8: 1 / 206 clock tolerance, 5 quanta of 0.5 us
    // for propagation, (1250 - 335) ns / 5 ns/m.
    QCOMPARE(d.row(0), QStringList({"0x00050011", "250000", "0.000 %", "87.5 %", "8", "±0.4854 %", "183 m"}));
    QCOMPARE(d.selectedRow(), 0);
    QCOMPARE(d.message(),
             QStringLiteral("可用的位定时字：%1个，最佳在前；误差和采样点相同时，时钟容差最大的在前")
                 .arg(d.table()->rowCount()));
    QVERIFY(d.ok()->isEnabled());

    // 200 m: 16 quanta reach (11 x 250 / 2 - 335) / 5 = 208 m with 1 / 320.
    d.edit("m_editBusLength")->setText("200");
    QCOMPARE(d.row(0),
             QStringList({"0x001C0008", "250000", "0.000 %", "87.5 %", "16", "±0.3125 %", "208 m"}));
    QVERIFY(d.message().contains("能覆盖200 m总线且时钟容差最大的在前"));
    // Nodes of 100 ns: 8 quanta reach 230 m again.
    d.edit("m_editNodeDelay")->setText("100");
    QCOMPARE(d.row(0).first(), QStringLiteral("0x00050011"));
    d.edit("m_editNodeDelay")->setText("335");
    // No word at 87.5 % covers 300 m: the longest first, and the line says so.
    d.edit("m_editBusLength")->setText("300");
    QCOMPARE(d.row(0).first(), QStringLiteral("0x001C0008"));
    QCOMPARE(d.message(), QStringLiteral("可用的位定时字：%1个；误差和采样点最佳的字都不能覆盖300 m总线，"
                                         "总线最长的在前；采样点越靠后，总线可以越长")
                              .arg(d.table()->rowCount()));
    QVERIFY(!d.messageRed());
    d.edit("m_editBusLength")->clear();

    // SJW 4: segment 2 needs 4 quanta, 14/18 comes closest; 4 / 460 and
    // 9 quanta of 2/9 us, (1000 - 335) ns / 5 ns/m.
    d.edit("m_editSjw")->setText("4");
    QCOMPARE(d.row(0),
             QStringList({"0x033C0007", "250000", "0.000 %", "77.8 %", "18", "±0.8695 %", "133 m"}));
    QCOMPARE(d.selectedRow(), 0);

    // 33.333 kbit/s: 36 MHz / (135 x 8) is 0.001 % fast; 5 quanta of 3.75 us.
    d.edit("m_editSjw")->setText("1");
    d.edit("m_editBitRate")->setText("33.333");
    QCOMPARE(d.row(0),
             QStringList({"0x00050086", "33333.333", "+0.001 %", "87.5 %", "8", "±0.4854 %", "1808 m"}));
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
    row("bus length negative", "m_editBusLength", "-1", "总线长度须为不小于0的数（m），或不填");
    row("node delay empty", "m_editNodeDelay", "", "节点延迟须为不小于0的数（ns）");
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
    QTest::addColumn<QString>("message");  // %1: the number of words; empty: not looked at
    // 36 MHz / (1024 x 25): the floor, shown as 1.406 kbit/s; 1 / 500, and
    // 8 quanta of 28.4 us for propagation.
    QTest::newRow("the floor as it is shown")
        << "1.406"
        << "0.5" << QStringList{"0x007F03FF", "1406.25", "+0.018 %", "68.0 %", "25", "±0.2 %", "22688 m"}
        << QString();
    QTest::newRow("full-width digits, as a Chinese input method types them")
        << "５００"
        << "０．５" << QStringList{"0x00050008", "500000", "0.000 %", "87.5 %", "8", "±0.4854 %", "58 m"}
        << QString();
    // 36 MHz / 756 is 0.0001 % off 47.619: exact as the list shows it. 8/9
    // allows 1 / 232, 16/18 only 1 / 360.
    QTest::newRow("exact as shown, at a tolerance of 0")
        << "47.619"
        << "0" << QStringList{"0x00060053", "47619.048", "0.000 %", "88.9 %", "9", "±0.431 %", "1333 m"}
        << QString();
    // No length is a bus of 0 m: at 75 % none of the words covers twice the node delay, and the line
    // says so as for a length. 12 quanta of 1/12 us leave 5 (417 ns) for propagation; 3 / 306 against 1 /
    // 240.
    QTest::newRow("1000 kbit/s, no length")
        << "1000"
        << "0.5" << QStringList{"0x00270002", "1000000", "0.000 %", "75.0 %", "12", "±0.4166 %", "无"}
        << "可用的位定时字：%1个；误差和采样点最佳的字都不能覆盖0 "
           "m总线，总线最长的在前；采样点越靠后，总线可以越长";
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
    QFETCH(QString, message);
    if (!message.isEmpty()) QCOMPARE(d.message(), message.arg(d.table()->rowCount()));
}

// No row, and a line that says why and names the closest word; the texts
// are those of the language of the moment, the composed ones included.
// 36 MHz / 47 620 = 755.98: no word within ±0; 756 = 84 x 9 with 8/9
// gives 47 619.048, 0.002 % slow (16/18 alike allows less drift).
void TestBitTiming::dialogNothingFits_data() {
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("Chinese")
        << QString() << QStringLiteral("位定时计算")
        << "±0 %内没有可用的位定时字；最接近的是0x00060053（47.619 kbit/s，误差-0.002 %）";
    QTest::newRow("English")
        << ":/Language/tarvane_en.qm" << QStringLiteral("Bit Timing Calculator")
        << "No word within ±0 %; the closest is 0x00060053 (47.619 kbit/s, off by -0.002 %)";
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
    QCOMPARE(d.row(0).first(), QStringLiteral("0x00060053"));
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
