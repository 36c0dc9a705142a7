#include <QMouseEvent>
#include <QtTest>

#include "AbsFrameLessAutoSize.h"

// Sends mouse events with explicit window and screen positions, as the
// platform would while the user drags.
class FramelessWindowTest : public QObject {
    Q_OBJECT
    AbsFrameLessAutoSize* window = nullptr;

    void send(QEvent::Type type, QPoint local, Qt::MouseButton button = Qt::NoButton) {
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, local, window->mapToGlobal(local), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &event);
    }
    // A move to a screen position (the window may move under the cursor).
    void moveToGlobal(QPoint global) {
        QMouseEvent event(QEvent::MouseMove, window->mapFromGlobal(global), global, Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &event);
    }

private slots:
    void init() {
        window = new AbsFrameLessAutoSize;
        window->setGeometry(100, 100, 300, 200);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->move(100, 100);
    }
    void cleanup() { delete window; }

    void hitTest_data() {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("border");
        QTest::addColumn<int>("region");
        QTest::newRow("left edge") << QPoint(0, 50) << 1 << 2;
        QTest::newRow("top edge") << QPoint(150, 0) << 1 << 4;
        QTest::newRow("top-left corner") << QPoint(0, 0) << 1 << 6;
        QTest::newRow("body") << QPoint(150, 100) << 1 << 0;
        // With a 1-pixel band the right and bottom bands lie outside the window.
        QTest::newRow("last column") << QPoint(299, 100) << 1 << 0;
        QTest::newRow("last row") << QPoint(150, 199) << 1 << 0;
        QTest::newRow("bottom-right pixel") << QPoint(299, 199) << 1 << 0;
        QTest::newRow("wide right edge") << QPoint(298, 100) << 5 << 1;
        QTest::newRow("wide bottom edge") << QPoint(150, 198) << 5 << 3;
        QTest::newRow("wide top-right") << QPoint(298, 2) << 5 << 5;
        QTest::newRow("wide bottom-right") << QPoint(295, 198) << 5 << 7;
        QTest::newRow("wide bottom-left") << QPoint(2, 198) << 5 << 8;
    }
    void hitTest() {
        QFETCH(QPoint, pos);
        QFETCH(int, border);
        QFETCH(int, region);
        QCOMPARE(int(AbsFrameLessAutoSize::hitTest(pos.x(), pos.y(), 300, 200, border)), region);
    }

    void cursorFollowsRegionAndBodyRestoresArrow() {
        send(QEvent::MouseMove, QPoint(0, 50));
        QCOMPARE(window->region(), 2);
        QCOMPARE(window->cursor().shape(), Qt::SizeHorCursor);
        send(QEvent::MouseMove, QPoint(0, 0));
        QCOMPARE(window->cursor().shape(), Qt::SizeFDiagCursor);
        send(QEvent::MouseMove, QPoint(150, 100));
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(window->region(), 6);  // the last band stays selected
    }

    void pressInBandResizesInBodyMoves() {
        send(QEvent::MouseMove, QPoint(0, 50));
        send(QEvent::MouseButtonPress, QPoint(0, 50), Qt::LeftButton);
        QVERIFY(window->isResizing());
        QVERIFY(!window->isDragging());
        send(QEvent::MouseButtonRelease, QPoint(0, 50), Qt::LeftButton);
        QVERIFY(!window->isResizing());

        send(QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton);
        QVERIFY(window->isDragging());
        moveToGlobal(QPoint(102 + 30, 102 + 20));
        QCOMPARE(window->pos(), QPoint(130, 120));
        send(QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton);
        QVERIFY(!window->isDragging());

        // (1, 50) is outside the inner rectangle: a resize with the last region.
        send(QEvent::MouseButtonPress, QPoint(1, 50), Qt::LeftButton);
        QVERIFY(window->isResizing());
        QCOMPARE(window->region(), 2);
    }

    void leftEdgeFollowsCursorWithinLimits() {
        window->setMinimumWidth(250);
        send(QEvent::MouseMove, QPoint(0, 50));
        send(QEvent::MouseButtonPress, QPoint(0, 50), Qt::LeftButton);
        moveToGlobal(QPoint(80, 150));
        QCOMPARE(window->geometry(), QRect(80, 100, 320, 200));
        // Below the minimum the geometry stays as it was, no clamping.
        moveToGlobal(QPoint(200, 150));
        QCOMPARE(window->geometry(), QRect(80, 100, 320, 200));
    }

    void cornerClampsAtMaximumKeepingOppositeEdges() {
        window->setMaximumSize(320, 230);
        send(QEvent::MouseMove, QPoint(0, 0));
        send(QEvent::MouseButtonPress, QPoint(0, 0), Qt::LeftButton);
        moveToGlobal(QPoint(0, 0));
        // Right and bottom edges stay at 400 and 300.
        QCOMPARE(window->geometry(), QRect(80, 70, 320, 230));
    }

    void rightPressClearsResizeWithoutMoving() {
        send(QEvent::MouseMove, QPoint(0, 50));
        send(QEvent::MouseButtonPress, QPoint(0, 50), Qt::LeftButton);
        QVERIFY(window->isResizing());
        send(QEvent::MouseButtonPress, QPoint(150, 100), Qt::RightButton);
        QVERIFY(!window->isResizing());
        QVERIFY(!window->isDragging());
        moveToGlobal(QPoint(50, 50));
        QCOMPARE(window->geometry(), QRect(100, 100, 300, 200));
    }
};

QTEST_MAIN(FramelessWindowTest)
#include "tst_framelesswindow.moc"
