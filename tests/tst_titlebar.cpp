#include <QLabel>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include "PushButton.h"
#include "TitleWidget.h"

class TitleBarTest : public QObject {
    Q_OBJECT
private slots:
    void buttonsPerType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("hasMenu");
        QTest::addColumn<bool>("hasMin");
        QTest::newRow("type 0") << 0 << false << false;
        QTest::newRow("type 1") << 1 << false << true;
        QTest::newRow("type 2") << 2 << true << true;
    }
    void buttonsPerType() {
        QFETCH(int, type);
        QFETCH(bool, hasMenu);
        QFETCH(bool, hasMin);
        TitleWidget bar(type);
        QCOMPARE(bar.menuButton() != nullptr, hasMenu);
        QCOMPARE(bar.minButton() != nullptr, hasMin);
        QVERIFY(bar.closeButton());
        QCOMPARE(bar.height(), 32);
        QCOMPARE(bar.closeButton()->size(), QSize(27, 22));
        QCOMPARE(bar.findChildren<PushButton*>().size(), 1 + int(hasMenu) + int(hasMin));
    }

    void eachButtonEmitsItsSignal() {
        TitleWidget bar(2);
        QSignalSpy menu(&bar, &TitleWidget::showMainMenu);
        QSignalSpy min(&bar, &TitleWidget::showMin);
        QSignalSpy close(&bar, &TitleWidget::closeWidget);
        QTest::mouseClick(bar.menuButton(), Qt::LeftButton);
        QCOMPARE(menu.count(), 1);
        QTest::mouseClick(bar.minButton(), Qt::LeftButton);
        QCOMPARE(min.count(), 1);
        QTest::mouseClick(bar.closeButton(), Qt::LeftButton);
        QCOMPARE(close.count(), 1);
        QCOMPARE(menu.count() + min.count(), 2);
    }

    void doubleClickOnlyWithLeftButton() {
        TitleWidget bar(2);
        QSignalSpy spy(&bar, &TitleWidget::LeftDoubleClick);
        QTest::mouseDClick(&bar, Qt::RightButton);
        QCOMPARE(spy.count(), 0);
        QTest::mouseDClick(&bar, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }

    void toolTipsFollowTheCatalogue() {
        TitleWidget bar(2);
        QCOMPARE(bar.closeButton()->toolTip(), QString("关闭"));
        QCOMPARE(bar.menuButton()->toolTip(), QString("菜单 (F10, Alt+M)"));
        QTranslator english;
        QVERIFY(english.load(":/Language/tarvane_en.qm"));
        QCoreApplication::installTranslator(&english);
        bar.retranslate();
        QCOMPARE(bar.menuButton()->toolTip(), QString("Menu (F10, Alt+M)"));
        QCOMPARE(bar.minButton()->toolTip(), QString("Min"));
        QCOMPARE(bar.closeButton()->toolTip(), QString("Close"));
        QCoreApplication::removeTranslator(&english);
    }

    void pushButtonClicksOnlyOnReleaseInsideAfterLeftPress() {
        PushButton button;
        button.setPicName(":/sysButton/Resources/sysButton/close");
        QSignalSpy clicked(&button, &QPushButton::clicked);

        QTest::mousePress(&button, Qt::RightButton);
        QCOMPARE(button.state(), int(PushButton::Normal));
        QTest::mouseRelease(&button, Qt::RightButton);
        QCOMPARE(clicked.count(), 0);

        QTest::mousePress(&button, Qt::LeftButton);
        QCOMPARE(button.state(), int(PushButton::Pressed));
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(40, 40));  // moved off
        QCOMPARE(clicked.count(), 0);
        QVERIFY(button.isPressDown());

        QTest::mousePress(&button, Qt::LeftButton);
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().first().toBool(), false);
        QCOMPARE(button.state(), int(PushButton::Hover));
        QVERIFY(!button.isPressDown());

        QTest::mouseRelease(&button, Qt::LeftButton);  // no press before it
        QCOMPARE(clicked.count(), 1);
    }

    void pushButtonImagesAndMissingImage() {
        PushButton button;
        button.setPicName(":/sysButton/Resources/sysButton/min");
        QCOMPARE(button.imagePath(PushButton::Hover), QString(":/sysButton/Resources/sysButton/min_hover"));
        QCOMPARE(button.imagePath(PushButton::Pressed),
                 QString(":/sysButton/Resources/sysButton/min_pressed"));
        QVERIFY(!QPixmap(button.imagePath(PushButton::Pressed)).isNull());
        PushButton missing;
        missing.setPicName(":/sysButton/Resources/sysButton/none");
        QCOMPARE(missing.size(), QSize(0, 0));
    }
};

QTEST_MAIN(TitleBarTest)
#include "tst_titlebar.moc"
