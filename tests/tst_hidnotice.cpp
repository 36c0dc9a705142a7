#include <QtTest>

#include "HidNotice.h"

class HidNoticeTest : public QObject {
    Q_OBJECT
private slots:
    void windowsPaths_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ours");
        QTest::newRow("repeater")
            << R"(\\?\HID#VID_0483&PID_6901#7&2c9a3b1f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})"
            << true;
        QTest::newRow("same vendor, other product")
            << R"(\\?\HID#VID_0483&PID_5740#7&1b2&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})" << false;
        QTest::newRow("other vendor")
            << R"(\\?\HID#VID_046D&PID_C52B&MI_00#8&3a&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})"
            << false;
        QTest::newRow("no HID")
            << R"(\\?\USB#VID_0483&PID_6901#205F3A7B5652#{a5dcbf10-6530-11d2-901f-00c04fb951ed})" << false;
        QTest::newRow("lower-case hid")
            << R"(\\?\hid#vid_0483&pid_6901#7&2c9a3b1f&0&0000#{4d1e55b2})" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("HID without ids") << R"(\\?\HID#ACPI0C50#1)" << false;
    }
    void windowsPaths() {
        QFETCH(QString, path);
        QFETCH(bool, ours);
        QCOMPARE(HidNotice::isRepeaterInterface(path), ours);
    }

    void udevAddFromParentHidId_data() {
        QTest::addColumn<QString>("hidId");
        QTest::addColumn<bool>("ours");
        QTest::newRow("repeater") << "0003:00000483:00006901" << true;
        QTest::newRow("other product") << "0003:00000483:00005740" << false;
        QTest::newRow("lower-case other") << "0003:0000046d:0000c52b" << false;
        QTest::newRow("malformed") << "0003:0483" << false;
    }
    void udevAddFromParentHidId() {
        QFETCH(QString, hidId);
        QFETCH(bool, ours);
        const QString devPath =
            "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:0483:6901.0004/hidraw/hidraw0";
        QCOMPARE(HidNotice::isRepeaterInterface(HidNotice::pathFromHidId(hidId, devPath)), ours);
    }

    void udevRemoveFromDevPath_data() {
        QTest::addColumn<QString>("devPath");
        QTest::addColumn<bool>("ours");
        QTest::newRow("repeater")
            << "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:0483:6901.0004/hidraw/hidraw0" << true;
        QTest::newRow("instance in hex")
            << "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:0483:6901.001A/hidraw/hidraw3" << true;
        QTest::newRow("upper-case other device")
            << "/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:046D:C52B.0005/hidraw/hidraw1"
            << false;
        QTest::newRow("lower-case other device")
            << "/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:046d:c52b.0005/hidraw/hidraw1"
            << false;
        QTest::newRow("not a hidraw node") << "/devices/virtual/misc/uhid" << false;
    }
    void udevRemoveFromDevPath() {
        QFETCH(QString, devPath);
        QFETCH(bool, ours);
        QCOMPARE(HidNotice::isRepeaterInterface(HidNotice::pathFromDevPath(devPath)), ours);
    }

    void builtPathsCarryTheIds() {
        QCOMPARE(HidNotice::pathFromHidId("0003:0000046d:0000c52b", "/x").left(21),
                 QString("HID#VID_046D&PID_C52B"));
        QVERIFY(HidNotice::pathFromDevPath("/devices/virtual/misc/uhid").isEmpty());
    }
};

QTEST_MAIN(HidNoticeTest)
#include "tst_hidnotice.moc"
