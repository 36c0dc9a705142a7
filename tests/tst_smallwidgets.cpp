#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include "CheckButton.h"
#include "DevInfoWidget.h"
#include "SlashWidget.h"

namespace {
// What a check button must look like: the icon scaled to 23 x 23 over the
// same background the grab starts from.
QImage expectedButton(const CheckButton& button, const QString& icon) {
    QImage image(23, 23, QImage::Format_ARGB32_Premultiplied);
    image.fill(button.palette().color(QPalette::Window));
    QPainter painter(&image);
    painter.drawPixmap(image.rect(),
                       QPixmap(icon).scaled(23, 23, Qt::KeepAspectRatio, Qt::FastTransformation));
    return image;
}

class HandDrawnSlash : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(Qt::gray, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter.drawLine(0, 0, 100, 60);
        painter.drawText(QPoint(12, 50), "RX");
        painter.drawText(QPoint(62, 30), "TX");
    }
};

QImage grabbed(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
}  // namespace

class TestSmallWidgets : public QObject {
    Q_OBJECT
private slots:
    void checkButtonStartsChecked();
    void checkButtonTogglesOnLeftPressOnly();  // and setChecked() never emits
    void slashWidgetGeometry();
    void devInfoWindow();
    void devInfoTextsKeptUntilNextCall();
    void devInfoRetranslate();
};

void TestSmallWidgets::checkButtonStartsChecked() {
    CheckButton button;
    QVERIFY(button.isChecked());
    QCOMPARE(button.size(), QSize(23, 23));
    QCOMPARE(button.minimumSize(), QSize(23, 23));
    QCOMPARE(button.maximumSize(), QSize(23, 23));
    QCOMPARE(grabbed(button), expectedButton(button, ":/app/Resources/Check.ico"));
    button.setChecked(false);
    QCOMPARE(grabbed(button), expectedButton(button, ":/app/Resources/UnCheck.ico"));
}

void TestSmallWidgets::checkButtonTogglesOnLeftPressOnly() {
    CheckButton button;
    QSignalSpy spy(&button, &CheckButton::clicked);

    QTest::mousePress(&button, Qt::RightButton);
    QTest::mouseRelease(&button, Qt::RightButton);
    QTest::mouseClick(&button, Qt::MiddleButton);
    QVERIFY(button.isChecked());
    QCOMPARE(spy.count(), 0);

    QTest::mousePress(&button, Qt::LeftButton);
    QVERIFY(!button.isChecked());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), false);
    // The release of a press adds no second emission.
    QTest::mouseRelease(&button, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);

    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(button.isChecked());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toBool(), false);

    button.setChecked(true);
    button.setChecked(false);
    QVERIFY(!button.isChecked());
    QCOMPARE(spy.count(), 2);
}

void TestSmallWidgets::slashWidgetGeometry() {
    QCOMPARE(SlashWidget::rxTextPos(QSize(100, 60)), QPoint(12, 50));
    QCOMPARE(SlashWidget::txTextPos(QSize(100, 60)), QPoint(62, 30));

    // The painted cell must match a diagonal and the two captions drawn at
    // those points by hand, rendered the same way.
    SlashWidget slash;
    slash.resize(100, 60);
    HandDrawnSlash reference;
    reference.resize(100, 60);
    const QImage actual = grabbed(slash);
    QCOMPARE(actual, grabbed(reference));
    QCOMPARE(actual.pixelColor(50, 30), QColor(Qt::gray));
}

void TestSmallWidgets::devInfoWindow() {
    DevInfoWidget info;
    QCOMPARE(info.objectName(), QString("DevInfoWidget"));
    QCOMPARE(info.size(), QSize(360, 254));
    QCOMPARE(info.minimumSize(), QSize(360, 254));
    QCOMPARE(info.maximumSize(), QSize(360, 254));
    QVERIFY(info.windowFlags().testFlag(Qt::Dialog));
    QVERIFY(info.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(info.testAttribute(Qt::WA_ShowModal));
    QCOMPARE(info.font().pointSize(), 10);

    const QList<QLineEdit*> edits = info.findChildren<QLineEdit*>();
    QCOMPARE(edits.size(), 4);
    for (QLineEdit* edit : edits) {
        QVERIFY(edit->isReadOnly());
        QVERIFY(edit->text().isEmpty());
        QCOMPARE(edit->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(edit->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    }
    const QList<QLabel*> captions = info.findChildren<QLabel*>();
    QCOMPARE(captions.size(), 4);
    info.show();
    QVERIFY(QTest::qWaitForWindowExposed(&info));
    for (QLabel* caption : captions) QCOMPARE(caption->width(), 95);
    QCOMPARE(info.size(), QSize(360, 254));

    QLineEdit* type = info.findChild<QLineEdit*>("m_lineEditDevType");
    type->setFocus();
    QTest::keyClicks(type, "xyz");
    QCOMPARE(type->text(), QString());
}

void TestSmallWidgets::devInfoTextsKeptUntilNextCall() {
    DevInfoWidget info;
    auto text = [&](const char* name) { return info.findChild<QLineEdit*>(name)->text(); };
    info.setDevInfo("TypeA", "V1.0", "F2.3", "0001");
    QCOMPARE(text("m_lineEditDevType"), QString("TypeA"));
    QCOMPARE(text("m_lineEditDevVersion"), QString("V1.0"));
    QCOMPARE(text("m_lineEditFirmwareVersion"), QString("F2.3"));
    QCOMPARE(text("m_lineEditCardNum"), QString("0001"));
    info.retranslate();
    QCOMPARE(text("m_lineEditCardNum"), QString("0001"));
    info.setDevInfo("TypeB", "V2.0", "F3.0", "0042");
    QCOMPARE(text("m_lineEditDevType"), QString("TypeB"));
    QCOMPARE(text("m_lineEditDevVersion"), QString("V2.0"));
    QCOMPARE(text("m_lineEditFirmwareVersion"), QString("F3.0"));
    QCOMPARE(text("m_lineEditCardNum"), QString("0042"));
}

void TestSmallWidgets::devInfoRetranslate() {
    DevInfoWidget info;
    auto caption = [&](const char* name) { return info.findChild<QLabel*>(name)->text(); };
    QCOMPARE(info.windowTitle(), QString("设备信息"));

    QTranslator english;
    QVERIFY(english.load(":/Language/tarvane_en.qm"));
    QCoreApplication::installTranslator(&english);
    info.retranslate();
    QCOMPARE(info.windowTitle(), QString("Device Info"));
    QCOMPARE(caption("m_labelDevType"), QString("Hardware Type："));
    QCOMPARE(caption("m_labelDevVersion"), QString("Hardware Ver："));
    QCOMPARE(caption("m_labelFirmwareVersion"), QString("Firmware Ver："));
    QCOMPARE(caption("m_labelCardNum"), QString("Card Number："));

    QCoreApplication::removeTranslator(&english);
    info.retranslate();
    QCOMPARE(info.windowTitle(), QString("设备信息"));
    QCOMPARE(caption("m_labelDevType"), QString("硬件类型："));
}

QTEST_MAIN(TestSmallWidgets)
#include "tst_smallwidgets.moc"
