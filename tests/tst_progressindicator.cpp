#include <QAbstractEventDispatcher>
#include <QImage>
#include <QSizePolicy>
#include <QTimerEvent>
#include <QtTest>

#include "CustomProgressIndicator.h"

namespace {

QList<QAbstractEventDispatcher::TimerInfo> timersOf(QObject* object) {
    return QAbstractEventDispatcher::instance()->registeredTimers(object);
}

// Delivers one animation tick without waiting for the timer.
void tick(CustomProgressIndicator& indicator) {
    const auto timers = timersOf(&indicator);
    QCOMPARE(timers.size(), 1);
    QTimerEvent event(timers.first().timerId);
    QCoreApplication::sendEvent(&indicator, &event);
}

QImage render(CustomProgressIndicator& indicator) {
    return indicator.grab().toImage();
}

}  // namespace

class TestProgressIndicator : public QObject {
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void freshIndicator();
    void startTwiceKeepsOneTimerAndResetsAngle();
    void tickTurnsByThirtyDegrees();
    void stopKillsTheTimer();
    void delayWhileStoppedOnlyStores();
    void delayWhileRunningRestartsTheTimer();
    void progressHundredStopsAtFirstPaint();
    void textOnlyBetweenOneAndNinetyNine();
};

void TestProgressIndicator::geometry_data() {
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("radius");
    // outer = (w - 1) / 2, inner = outer * 0.38, length = outer - inner,
    // width = length * 0.35 below 33 pixels, else length * 0.23, radius = width / 2.
    QTest::newRow("20, as the main window shows it") << 20 << 9 << 3 << 6 << 2 << 1;
    QTest::newRow("25, the size hint") << 25 << 12 << 4 << 8 << 2 << 1;
    QTest::newRow("32, last with the wide spokes") << 32 << 15 << 5 << 10 << 3 << 1;
    QTest::newRow("33, first with the thin spokes") << 33 << 16 << 6 << 10 << 2 << 1;
    QTest::newRow("100") << 100 << 49 << 18 << 31 << 7 << 3;
}

void TestProgressIndicator::geometry() {
    QFETCH(int, side);
    QFETCH(int, outer);
    QFETCH(int, inner);
    QFETCH(int, length);
    QFETCH(int, width);
    QFETCH(int, radius);
    const CustomProgressIndicator::Geometry g = CustomProgressIndicator::geometryFor(side);
    QCOMPARE(g.outer, outer);
    QCOMPARE(g.inner, inner);
    QCOMPARE(g.length, length);
    QCOMPARE(g.width, width);
    QCOMPARE(g.radius, radius);
}

void TestProgressIndicator::freshIndicator() {
    CustomProgressIndicator indicator;
    QVERIFY(!indicator.isAnimated());
    QCOMPARE(indicator.animationDelay(), 45);
    QCOMPARE(indicator.isDisplayedWhenStopped(), false);
    QCOMPARE(indicator.color(), QColor(Qt::gray));
    QCOMPARE(indicator.progress(), qint16(0));
    QCOMPARE(indicator.sizeHint(), QSize(25, 25));
    QCOMPARE(indicator.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    QCOMPARE(indicator.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    QCOMPARE(indicator.focusPolicy(), Qt::NoFocus);
    QVERIFY(timersOf(&indicator).isEmpty());

    // The properties go through the same readers and setters.
    QVERIFY(indicator.setProperty("delay", 80));
    QVERIFY(indicator.setProperty("displayedWhenStopped", true));
    QVERIFY(indicator.setProperty("color", QColor(Qt::red)));
    QCOMPARE(indicator.animationDelay(), 80);
    QVERIFY(indicator.isDisplayedWhenStopped());
    QCOMPARE(indicator.property("color").value<QColor>(), QColor(Qt::red));
}

void TestProgressIndicator::startTwiceKeepsOneTimerAndResetsAngle() {
    CustomProgressIndicator indicator;
    indicator.startAnimation();
    QVERIFY(indicator.isAnimated());
    const auto first = timersOf(&indicator);
    QCOMPARE(first.size(), 1);
    QCOMPARE(first.first().interval, 45);

    tick(indicator);
    tick(indicator);
    QCOMPARE(indicator.angle(), 60);

    indicator.startAnimation();
    QCOMPARE(indicator.angle(), 0);
    const auto second = timersOf(&indicator);
    QCOMPARE(second.size(), 1);
    QCOMPARE(second.first().timerId, first.first().timerId);
}

void TestProgressIndicator::tickTurnsByThirtyDegrees() {
    CustomProgressIndicator indicator;
    indicator.startAnimation();
    for (int i = 1; i <= 11; ++i) tick(indicator);
    QCOMPARE(indicator.angle(), 330);
    tick(indicator);
    QCOMPARE(indicator.angle(), 0);
}

void TestProgressIndicator::stopKillsTheTimer() {
    CustomProgressIndicator indicator;
    indicator.startAnimation();
    indicator.stopAnimation();
    QVERIFY(!indicator.isAnimated());
    QVERIFY(timersOf(&indicator).isEmpty());
    indicator.stopAnimation();  // stopping a stopped wheel is harmless
    QVERIFY(!indicator.isAnimated());
}

void TestProgressIndicator::delayWhileStoppedOnlyStores() {
    CustomProgressIndicator indicator;
    indicator.setAnimationDelay(100);
    QCOMPARE(indicator.animationDelay(), 100);
    QVERIFY(!indicator.isAnimated());
    QVERIFY(timersOf(&indicator).isEmpty());

    indicator.startAnimation();
    const auto timers = timersOf(&indicator);
    QCOMPARE(timers.size(), 1);
    QCOMPARE(timers.first().interval, 100);
}

void TestProgressIndicator::delayWhileRunningRestartsTheTimer() {
    CustomProgressIndicator indicator;
    indicator.startAnimation();
    indicator.setAnimationDelay(200);
    QVERIFY(indicator.isAnimated());
    const auto timers = timersOf(&indicator);
    QCOMPARE(timers.size(), 1);
    QCOMPARE(timers.first().interval, 200);
}

void TestProgressIndicator::progressHundredStopsAtFirstPaint() {
    CustomProgressIndicator indicator;
    indicator.resize(20, 20);
    indicator.startAnimation();
    indicator.onProgress(100);
    QVERIFY(indicator.isAnimated());  // storing the value alone stops nothing

    render(indicator);
    QVERIFY(!indicator.isAnimated());
    QVERIFY(timersOf(&indicator).isEmpty());
}

void TestProgressIndicator::textOnlyBetweenOneAndNinetyNine() {
    // Same angle and colour each time, so the pictures differ only by the text.
    CustomProgressIndicator indicator;
    indicator.resize(60, 60);
    indicator.setDisplayedWhenStopped(true);

    indicator.onProgress(0);
    const QImage none = render(indicator);
    indicator.onProgress(100);
    QCOMPARE(render(indicator), none);
    indicator.onProgress(-5);
    QCOMPARE(render(indicator), none);
    indicator.onProgress(1);
    QVERIFY(render(indicator) != none);
    indicator.onProgress(99);
    QVERIFY(render(indicator) != none);
}

QTEST_MAIN(TestProgressIndicator)
#include "tst_progressindicator.moc"
