// The window on the real HID stack: hidapi's hidraw backend, the kernel's
// hidraw nodes and udev's events, with virtual repeaters plugged in and
// pulled out as processes. Run by scripts/vm-test.sh inside its virtual
// machine, as root with udevd running; not by ctest.
#include <QProcess>
#include <QtTest>

#include <hidapi.h>

#include "ModalAnswerer.h"
#include "Tarvane.h"
#include "WindowParts.h"

namespace {

using namespace vm;

// Bounds for waiting, not timings: the machine is emulated and slow, and
// under -icount its clock runs slower than the wall's while the test polls.
// Twelve waits of this bound fit well within the guest's 300 s for the whole
// test, so a wait that runs out is named by its QTest line, not by the
// guest's time-out.
constexpr int kBusMs = 15000;

QString readDone() {
    return QCoreApplication::translate("DeviceRead", "读取成功");
}
QString writeDone() {
    return QCoreApplication::translate("DeviceWrite", "设置成功");
}

// A virtual repeater: on the bus while its process runs.
class Repeater {
public:
    Repeater(const QString& backend, const QString& card, int type) {
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(QStringLiteral(TARVANE_VIRTUAL_REPEATER),
                        {"--backend", backend, "--card", card, "--type", QString::number(type)});
        m_process.waitForStarted();
    }
    ~Repeater() { pullOut(); }
    void pullOut() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();
        m_process.waitForFinished(kBusMs);
    }

private:
    QProcess m_process;
};

}  // namespace

class TestVmWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(hid_init(), 0); }
    void cleanupTestCase() { hid_exit(); }

    void plugInReadWritePullOut_data() {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::newRow("USB gadget") << "usb"
                                    << "TV2026000417" << 4 << "Orvex-A4_TV2026000417";
        QTest::newRow("uhid") << "uhid"
                              << "TV2026000418" << 5 << "Orvex-B1_TV2026000418";
    }

    void plugInReadWritePullOut() {
        QFETCH(QString, backend);
        QFETCH(QString, card);
        QFETCH(int, type);
        QFETCH(QString, name);
        ModalAnswerer answerer;
        Tarvane window;
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(answerer.texts().contains(windowText("搜索设备失败")), kBusMs);
        QCOMPARE(deviceName(window), QString());

        // Found through udev's arrival, with nothing pressed.
        Repeater repeater(backend, card, type);
        QTRY_COMPARE_WITH_TIMEOUT(deviceName(window), name, kBusMs);
        QCOMPARE(channelTabs(window), 2);
        QCOMPARE(click(window, QStringLiteral("m_pushButtonRead"), answerer), QStringList{readDone()});

        // The reset restarts the repeater: it leaves the bus and comes back,
        // and the window lets it go and finds it again.
        QSignalSpy names(window.findChild<QLineEdit*>("m_pLineEditDevName"), &QLineEdit::textChanged);
        QCOMPARE(click(window, QStringLiteral("m_pushButtonWrite"), answerer), QStringList{writeDone()});
        QTRY_VERIFY_WITH_TIMEOUT(names.size() >= 2, kBusMs);
        QCOMPARE(names.at(0).at(0).toString(), QString());
        QCOMPARE(names.at(1).at(0).toString(), name);
        QCOMPARE(click(window, QStringLiteral("m_pushButtonRead"), answerer), QStringList{readDone()});

        repeater.pullOut();
        QTRY_COMPARE_WITH_TIMEOUT(deviceName(window), QString(), kBusMs);
        QCOMPARE(channelTabs(window), 0);
        QCOMPARE(click(window, QStringLiteral("m_pushButtonRead"), answerer),
                 QStringList{windowText("设备未连接")});
    }

    void secondRepeaterChosen() {
        const QString first = "Orvex-A4_TV2026000417";
        const QString second = "Orvex-A3_TV2026000418";
        ModalAnswerer answerer;
        Repeater gadget("usb", "TV2026000417", 4);
        Tarvane window;
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(deviceName(window), first, kBusMs);
        QCOMPARE(deviceEntries(), QStringList());  // nothing to choose from

        // A second one joins the choice; the window stays with the first.
        Repeater other("uhid", "TV2026000418", 3);
        QTRY_COMPARE_WITH_TIMEOUT(deviceEntries(), (QStringList{"*" + first, second}), kBusMs);
        QCOMPARE(deviceName(window), first);

        devicesMenu()->actions().at(1)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(deviceName(window), second, kBusMs);
        QCOMPARE(deviceEntries(), (QStringList{first, "*" + second}));
        QCOMPARE(click(window, QStringLiteral("m_pushButtonRead"), answerer), QStringList{readDone()});

        // The chosen one pulled out: the window goes back to the one left.
        other.pullOut();
        QTRY_COMPARE_WITH_TIMEOUT(deviceName(window), first, kBusMs);
        QCOMPARE(deviceEntries(), QStringList());
        QCOMPARE(click(window, QStringLiteral("m_pushButtonRead"), answerer), QStringList{readDone()});
    }
};

QTEST_MAIN(TestVmWindow)
#include "tst_vmwindow.moc"
