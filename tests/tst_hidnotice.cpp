#include <QtTest>

#include "platform/HidNotice.h"

namespace {
// "vendor:product" in four hexadecimal digits each, or "none".
QString idsOf(const std::optional<HidInterface>& hid) {
    if (!hid) return "none";
    return QString("%1:%2").arg(hid->vendorId, 4, 16, QChar('0')).arg(hid->productId, 4, 16, QChar('0'));
}

void row(const char* name, const QString& text, const char* ids) {
    QTest::newRow(name) << text << QString(ids);
}
}  // namespace

// Each system words its notices its own way; the rest of the program sees the ids.
class HidNoticeTest : public QObject {
    Q_OBJECT
private slots:
#ifdef Q_OS_WIN
    void windowsPaths_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("ids");
        row("repeater",
            R"(\\?\HID#VID_0483&PID_6901#7&2c9a3b1f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})",
            "0483:6901");
        row("same vendor, other product",
            R"(\\?\HID#VID_0483&PID_5740#7&1b2&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})", "0483:5740");
        row("other vendor",
            R"(\\?\HID#VID_046D&PID_C52B&MI_00#8&3a&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})",
            "046d:c52b");
        row("no HID", R"(\\?\USB#VID_0483&PID_6901#205F3A7B5652#{a5dcbf10-6530-11d2-901f-00c04fb951ed})",
            "none");
        row("lower-case hid", R"(\\?\hid#vid_0483&pid_6901#7&2c9a3b1f&0&0000#{4d1e55b2})", "none");
        row("empty", "", "none");
        row("HID without ids", R"(\\?\HID#ACPI0C50#1)", "none");
    }
    void windowsPaths() {
        QFETCH(QString, path);
        QFETCH(QString, ids);
        const std::optional<HidInterface> hid = hidInterfaceOfNotice(path);
        QCOMPARE(idsOf(hid), ids);
        if (hid) QCOMPARE(hid->path, path);
    }
#else
    // An arrival: the parent "hid" device's HID_ID, else the node's DEVPATH.
    void udevAdd_data() {
        QTest::addColumn<QString>("hidId");
        QTest::addColumn<QString>("ids");
        row("repeater", "0003:00000483:00006901", "0483:6901");
        row("other product", "0003:00000483:00005740", "0483:5740");
        row("lower-case other", "0003:0000046d:0000c52b", "046d:c52b");
        row("malformed", "0003:0483", "none");
        row("no parent", "", "0483:6901");
    }
    void udevAdd() {
        QFETCH(QString, hidId);
        QFETCH(QString, ids);
        const QString devPath =
            "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:0483:6901.0004/hidraw/hidraw0";
        const std::optional<HidInterface> hid = hidInterfaceOfNotice(devPath, hidId);
        QCOMPARE(idsOf(hid), ids);
        if (hid) QCOMPARE(hid->path, devPath);
    }

    // A removal, when the parent is usually gone: the DEVPATH alone.
    void udevRemove_data() {
        QTest::addColumn<QString>("devPath");
        QTest::addColumn<QString>("ids");
        const QString usb = "/devices/pci0000:00/0000:00:14.0/usb1/";
        row("repeater", usb + "1-2/1-2:1.0/0003:0483:6901.0004/hidraw/hidraw0", "0483:6901");
        row("instance in hex", usb + "1-2/1-2:1.0/0003:0483:6901.001A/hidraw/hidraw3", "0483:6901");
        row("upper-case other device", usb + "1-3/1-3:1.0/0003:046D:C52B.0005/hidraw/hidraw1", "046d:c52b");
        row("lower-case other device", usb + "1-3/1-3:1.0/0003:046d:c52b.0005/hidraw/hidraw1", "046d:c52b");
        row("not a hidraw node", "/devices/virtual/misc/uhid", "none");
    }
    void udevRemove() {
        QFETCH(QString, devPath);
        QFETCH(QString, ids);
        QCOMPARE(idsOf(hidInterfaceOfNotice(devPath)), ids);
    }
#endif
};

QTEST_MAIN(HidNoticeTest)
#include "tst_hidnotice.moc"
