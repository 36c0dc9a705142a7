#include <QComboBox>
#include <QLabel>
#include <QTranslator>
#include <QtTest>

#include "OpticalFiberParamWidget.h"

namespace {
QComboBox* combo(OpticalFiberParamWidget& page, int channel) {
    return page.findChild<QComboBox*>(QString("m_comboBoxBaudRate%1").arg(channel + 1));
}
QLabel* label(OpticalFiberParamWidget& page, int channel) {
    return page.findChild<QLabel*>(QString("m_labelBaudRate%1").arg(channel + 1));
}
QLabel* tip(OpticalFiberParamWidget& page) {
    return page.findChild<QLabel*>("m_labelTip");
}

// "1" for every channel whose label and box are both shown, "0" for hidden.
QString shownRows(OpticalFiberParamWidget& page) {
    QString rows;
    for (int i = 0; i < 4; ++i) {
        const bool labelShown = label(page, i)->isVisibleTo(&page);
        if (labelShown != combo(page, i)->isVisibleTo(&page)) return "mismatch";
        rows += labelShown ? '1' : '0';
    }
    return rows;
}
}  // namespace

class TestFiberPage : public QObject {
    Q_OBJECT
private slots:
    void newPage();
    void visibility_data();
    void visibility();
    void setBaudRateCode_data();
    void setBaudRateCode();
    void setDefaultResetsHiddenRows();
    void retranslate();
};

void TestFiberPage::newPage() {
    OpticalFiberParamWidget page;
    QCOMPARE(shownRows(page), QString("0000"));
    QVERIFY(!tip(page)->isVisibleTo(&page));
    QCOMPARE(tip(page)->text(), QString());
    QCOMPARE(tip(page)->styleSheet(), QString("color:red;"));
    QCOMPARE(page.windowTitle(), QString("OpticalFiberParamWidget"));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(combo(page, i)->count(), 12);
        QCOMPARE(combo(page, i)->currentText(), QString("1380K"));
        QCOMPARE(page.baudRateData(i), QVariant(QByteArray::fromHex("0b")));
        QCOMPARE(label(page, i)->width(), 120);
        QCOMPARE(combo(page, i)->width(), 100);
    }
    QVERIFY(!page.baudRateData(-1).isValid());
    QVERIFY(!page.baudRateData(4).isValid());
}

void TestFiberPage::visibility_data() {
    // Steps: a count n for setFiberCount(n), -1 for hideParam().
    QTest::addColumn<QVector<int>>("steps");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<bool>("tipShown");
    QTest::newRow("hide before any count") << QVector<int>{-1} << "0000" << false;
    QTest::newRow("count 0") << QVector<int>{0} << "0000" << true;
    QTest::newRow("count 2") << QVector<int>{2} << "1100" << true;
    QTest::newRow("2 then 4") << QVector<int>{2, 4} << "1111" << true;
    QTest::newRow("4 then 2 keeps 3 and 4") << QVector<int>{4, 2} << "1111" << true;
    QTest::newRow("4 then hide") << QVector<int>{4, -1} << "0000" << false;
    QTest::newRow("4, hide, 2") << QVector<int>{4, -1, 2} << "1100" << true;
    QTest::newRow("4, 2, hide hides only 1 and 2") << QVector<int>{4, 2, -1} << "0011" << false;
}

void TestFiberPage::visibility() {
    QFETCH(QVector<int>, steps);
    QFETCH(QString, rows);
    QFETCH(bool, tipShown);
    OpticalFiberParamWidget page;
    for (int step : steps) {
        if (step < 0)
            page.hideParam();
        else
            page.setFiberCount(step);
    }
    QCOMPARE(shownRows(page), rows);
    QCOMPARE(tip(page)->isVisibleTo(&page), tipShown);
}

void TestFiberPage::setBaudRateCode_data() {
    QTest::addColumn<int>("fiberCount");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");  // empty: no current item
    QTest::addColumn<QVariant>("data");
    const QVariant unchanged = QByteArray::fromHex("0b");
    QTest::newRow("channel beyond count") << 2 << 2 << 5 << "1380K" << unchanged;
    QTest::newRow("no fibers") << 0 << 0 << 5 << "1380K" << unchanged;
    QTest::newRow("50K") << 4 << 2 << 5 << "50K" << QVariant(QByteArray::fromHex("05"));
    QTest::newRow("last channel 5K") << 4 << 3 << 1 << "5K" << QVariant(QByteArray::fromHex("01"));
    QTest::newRow("2250K") << 2 << 0 << 12 << "2250K" << QVariant(QByteArray::fromHex("0c"));
    QTest::newRow("code 0") << 1 << 0 << 0 << "" << QVariant();
    QTest::newRow("code 13") << 4 << 1 << 13 << "" << QVariant();
    QTest::newRow("negative code") << 4 << 1 << -3 << "" << QVariant();
    QTest::newRow("negative channel") << 4 << -1 << 5 << "" << QVariant();
    QTest::newRow("channel 4") << 4 << 4 << 5 << "" << QVariant();
}

void TestFiberPage::setBaudRateCode() {
    QFETCH(int, fiberCount);
    QFETCH(int, channel);
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(QVariant, data);
    OpticalFiberParamWidget page;
    page.setFiberCount(fiberCount);
    page.setBaudRateCode(channel, code);
    if (channel < 0 || channel > 3) {
        // Out-of-range channels are ignored: every box keeps its default.
        for (int i = 0; i < 4; ++i) QCOMPARE(combo(page, i)->currentText(), QString("1380K"));
        return;
    }
    QCOMPARE(combo(page, channel)->currentText(), text);
    QCOMPARE(combo(page, channel)->currentIndex() < 0, text.isEmpty());
    QCOMPARE(page.baudRateData(channel).isValid(), data.isValid());
    if (data.isValid()) QCOMPARE(page.baudRateData(channel), data);
    for (int i = 0; i < 4; ++i)
        if (i != channel) QCOMPARE(combo(page, i)->currentText(), QString("1380K"));
}

void TestFiberPage::setDefaultResetsHiddenRows() {
    OpticalFiberParamWidget page;
    page.setFiberCount(4);
    for (int i = 0; i < 4; ++i) page.setBaudRateCode(i, i + 1);
    page.setBaudRateCode(0, 0);
    page.hideParam();
    page.setDefault();
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(combo(page, i)->currentText(), QString("1380K"));
        QCOMPARE(page.baudRateData(i), QVariant(QByteArray::fromHex("0b")));
    }
}

void TestFiberPage::retranslate() {
    OpticalFiberParamWidget page;
    QCOMPARE(label(page, 0)->text(), QString("光纤1 波特率："));

    QTranslator english;
    QVERIFY(english.load(":/Language/tarvane_en.qm"));
    QCoreApplication::installTranslator(&english);
    page.retranslate();
    for (int i = 0; i < 4; ++i) QCOMPARE(label(page, i)->text(), QString("Fiber%1 Baud Rate：").arg(i + 1));
    QCOMPARE(tip(page)->text(),
             QString("【Note】：If modifications are required, ensure that the baud rate of the "
                     "butted fiber channel remains the same."));

    QCoreApplication::removeTranslator(&english);
    page.retranslate();
    QCOMPARE(label(page, 3)->text(), QString("光纤4 波特率："));
    QCOMPARE(tip(page)->text(), QString("【注意】：如需修改,请确保与对接光纤通道的波特率保持一致."));
}

QTEST_MAIN(TestFiberPage)
#include "tst_fiberpage.moc"
