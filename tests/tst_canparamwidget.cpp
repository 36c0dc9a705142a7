#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTranslator>
#include <QtTest>

#include "CANParamWidget.h"
#include "ChannalWidget.h"

namespace {

QTabWidget* tabs(CANParamWidget& page) {
    return page.findChild<QTabWidget*>("m_tabWidgetChannal");
}
QString baudText(ChannalWidget* w) {
    return w->findChild<QLineEdit*>("m_lineEditBautRate")->text();
}

// Gives channel i a custom word of its own, so each can be told apart.
void mark(ChannalWidget* w) {
    w->setBaudRateReply(QByteArray::fromHex("112233") + char(w->channalId()));
}
QString markText(int channal) {
    return QStringLiteral("0x1122330%1").arg(channal);
}

}  // namespace

class TestCANParamWidget : public QObject {
    Q_OBJECT
private slots:
    void newPage();
    void channalCount_data();
    void channalCount();
    void clearKeepsValues();
    void setDefaultShownOnly();
    void englishTitles();
};

void TestCANParamWidget::newPage() {
    CANParamWidget page;
    QCOMPARE(page.objectName(), QStringLiteral("CANParamWidget"));
    QVERIFY(tabs(page));
    QCOMPARE(tabs(page)->count(), 0);
    QVERIFY(!page.channalWidget(0));
}

void TestCANParamWidget::channalCount_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("shown");
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("two") << 2 << 2;
    QTest::newRow("three") << 3 << 3;
    QTest::newRow("five") << 5 << 3;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("negative") << -1 << 0;
}

void TestCANParamWidget::channalCount() {
    QFETCH(int, n);
    QFETCH(int, shown);
    CANParamWidget page;
    page.setChannalCount(n);
    QCOMPARE(tabs(page)->count(), shown);
    for (int i = 0; i < shown; ++i) {
        QCOMPARE(tabs(page)->tabText(i), QStringLiteral("通道%1").arg(i + 1));
        QVERIFY(page.channalWidget(i));
        QCOMPARE(page.channalWidget(i)->channalId(), i + 1);
        QCOMPARE(page.channalWidget(i)->baudRateFrame().at(5), char(i + 1));
    }
    QVERIFY(!page.channalWidget(shown));
    QVERIFY(!page.channalWidget(-1));

    // Asking again keeps tab i on channel i + 1 without duplicates.
    page.setChannalCount(2);
    QCOMPARE(tabs(page)->count(), 2);
    QCOMPARE(page.channalWidget(1)->channalId(), 2);
}

void TestCANParamWidget::clearKeepsValues() {
    CANParamWidget page;
    page.setChannalCount(3);
    for (int i = 0; i < 3; ++i) mark(page.channalWidget(i));
    ChannalWidget* first = page.channalWidget(0);

    page.clearChannals();
    QCOMPARE(tabs(page)->count(), 0);
    QVERIFY(!page.channalWidget(0));

    page.setChannalCount(2);
    QCOMPARE(page.channalWidget(0), first);
    QCOMPARE(baudText(page.channalWidget(0)), markText(1));
    QCOMPARE(baudText(page.channalWidget(1)), markText(2));
}

void TestCANParamWidget::setDefaultShownOnly() {
    CANParamWidget page;
    page.setChannalCount(3);
    for (int i = 0; i < 3; ++i) mark(page.channalWidget(i));
    page.clearChannals();
    page.setChannalCount(2);

    page.setDefault();
    QCOMPARE(baudText(page.channalWidget(0)), QStringLiteral("0x001C00E0"));
    QCOMPARE(baudText(page.channalWidget(1)), QStringLiteral("0x001C00E0"));

    page.setChannalCount(3);
    QCOMPARE(baudText(page.channalWidget(2)), markText(3));
}

void TestCANParamWidget::englishTitles() {
    CANParamWidget page;
    page.setChannalCount(2);
    QTranslator translator;
    QVERIFY(translator.load(":/Language/tarvane_en.qm"));
    QCoreApplication::installTranslator(&translator);
    page.retranslate();
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(tabs(page)->tabText(0), QStringLiteral("Channal1"));
    QCOMPARE(tabs(page)->tabText(1), QStringLiteral("Channal2"));
    // The channel without a tab is translated as well.
    page.setChannalCount(3);
    ChannalWidget* third = page.channalWidget(2);
    QCOMPARE(third->findChild<QLabel*>("m_labelBauRate")->text(), QStringLiteral("Baud Rate："));
    QCOMPARE(third->findChild<QComboBox*>("m_pComboBoxBautRate")->itemText(15), QStringLiteral("Adaptive"));
    QCOMPARE(tabs(page)->tabText(2), QStringLiteral("通道3"));
}

QTEST_MAIN(TestCANParamWidget)
#include "tst_canparamwidget.moc"
