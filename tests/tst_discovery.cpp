#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "CANParamWidget.h"
#include "ChannalWidget.h"
#include "CustomProgressIndicator.h"
#include "DevInfoWidget.h"
#include "LanguageSettings.h"
#include "ModalAnswerer.h"
#include "OpticalFiberParamWidget.h"
#include "RouteParamWidget.h"
#include "SimulatedRepeater.h"
#include "Tarvane.h"
#include "platform/DeviceNotifier.h"

#ifdef Q_OS_LINUX
#include <dlfcn.h>
#include <libudev.h>

namespace {
// Whether the system refuses the hot-plug monitor, as a sandbox without
// netlink sockets would.
bool refuseUdevMonitor = false;
}  // namespace

// Stands in for libudev's function in this test program and hands on to it
// unless the monitor is to be refused.
extern "C" udev_monitor* udev_monitor_new_from_netlink(udev* context, const char* name) {
    if (refuseUdevMonitor) return nullptr;
    using Function = udev_monitor* (*)(udev*, const char*);
    static const auto libudev = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "udev_monitor_new_from_netlink"));
    return libudev ? libudev(context, name) : nullptr;
}
#endif

namespace {
const QString kRepeaterPath =
    R"(\\?\HID#VID_0483&PID_6901#7&2c9a3b1f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})";

// The window with its connection state in view.
class Window : public Tarvane {
public:
    using Tarvane::m_bConnected;
    using Tarvane::m_nCAN;
    using Tarvane::m_nFiberOptic;
    using Tarvane::m_nHardwareType;
    using Tarvane::m_pCANParamWidget;
    using Tarvane::m_pDevInfoWidget;
    using Tarvane::m_pMenu;
    using Tarvane::m_pMenuDevices;
    using Tarvane::m_pOpticalFiberParamWidget;
    using Tarvane::m_pProgressIndicator;
    using Tarvane::m_pRouteParamWidget;

    QString deviceName() const { return findChild<QLineEdit*>("m_pLineEditDevName")->text(); }
    bool hintShown() const { return !findChild<QLabel*>("m_pLabelHint")->isHidden(); }
    int canTabs() const { return m_pCANParamWidget->findChild<QTabWidget*>("m_tabWidgetChannal")->count(); }
    int fiberRowsShown() const {
        int shown = 0;
        for (auto* box : m_pOpticalFiberParamWidget->findChildren<QComboBox*>()) shown += !box->isHidden();
        return shown;
    }
    QTableWidget* routeTable() const { return m_pRouteParamWidget->findChild<QTableWidget*>(); }
    int routeRowsShown() const {
        int shown = 0;
        for (int r = 1; r <= 6; ++r) shown += !routeTable()->isRowHidden(r);
        return shown;
    }
    int routeColumnsShown() const {
        int shown = 0;
        for (int c = 2; c <= 7; ++c) shown += !routeTable()->isColumnHidden(c);
        return shown;
    }
    QStringList devInfoTexts() const {
        QStringList texts;
        for (const char* name :
             {"m_lineEditDevType", "m_lineEditDevVersion", "m_lineEditFirmwareVersion", "m_lineEditCardNum"})
            texts << m_pDevInfoWidget->findChild<QLineEdit*>(name)->text();
        return texts;
    }
    // A hot-plug notice as the system's notifier gives it, by default for the repeater's ids.
    void notice(const QString& path, bool arrival, quint16 vendor = 0x0483, quint16 product = 0x6901) {
        emit findChild<DeviceNotifier*>()->notice({vendor, product, path}, arrival);
    }
    // Clicks entry `n` of "选择设备" with the mouse, in the main menu that the
    // title bar's menu button opens.
    void chooseWithMouse(int n) {
        QTimer::singleShot(0, this, [this, n] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            QTest::mouseClick(menu, Qt::LeftButton, {},
                              menu->actionGeometry(m_pMenuDevices->menuAction()).center());
            if (!QTest::qWaitFor([&] { return m_pMenuDevices->isVisible(); })) {
                menu->close();
                return;
            }
            const QRect entry = m_pMenuDevices->actionGeometry(m_pMenuDevices->actions().at(n - 1));
            QTest::mouseClick(m_pMenuDevices, Qt::LeftButton, {}, entry.center());
        });
        for (auto* button : findChildren<QAbstractButton*>())
            if (button->toolTip().startsWith("菜单")) QTest::mouseClick(button, Qt::LeftButton);
    }
    // The repeater connected (the last digit of its card number, "-" for
    // none) and the submenu's entries, the checked one starred; none while
    // the submenu is not in the menu.
    QString devices() const {
        QStringList entries;
        if (m_pMenu->actions().contains(m_pMenuDevices->menuAction())) {
            for (const QAction* entry : m_pMenuDevices->actions())
                entries << (entry->isChecked() ? "*" : "") + entry->text().right(1);
        }
        return (m_bConnected ? deviceName().right(1) : QString("-")) + " [" + entries.join(' ') + "]";
    }
};

sim::SimulatedRepeater& device() {
    return sim::SimulatedRepeater::instance();
}

sim::Identity identityOfType(unsigned char type) {
    sim::Identity identity;
    identity.hardwareType = type;
    return identity;
}
}  // namespace

class DiscoveryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QFile::remove(LanguageSettings::filePath()); }
    void init() {
        sim::SimulatedRepeater::removeAddedDevices();
        device().reset();
    }

    void startupWithoutDevice() {
        device().setPresent(false);
        ModalAnswerer answerer;
        Window w;
        QVERIFY(w.m_pProgressIndicator->isAnimated());
        QVERIFY(w.hintShown());
        QTRY_COMPARE(answerer.texts(), QStringList{"搜索设备失败"});
        QCOMPARE(answerer.messages().first().title, QString("提示"));
        QVERIFY(!w.m_pProgressIndicator->isAnimated());
        QVERIFY(!w.hintShown());
        QVERIFY(!w.m_bConnected);
        QVERIFY(w.deviceName().isEmpty());
        QCOMPARE(device().openHandleCount(), 0);
        // Three pages, none with channel editors yet.
        auto* tabs = w.findChild<QTabWidget*>("m_tabWidgetParam");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QString("CAN参数"));
        QCOMPARE(tabs->tabText(1), QString("光纤参数"));
        QCOMPARE(tabs->tabText(2), QString("路由参数"));
        QCOMPARE(tabs->widget(0), static_cast<QWidget*>(w.m_pCANParamWidget));
        QCOMPARE(w.canTabs(), 0);
        QCOMPARE(w.fiberRowsShown(), 0);
        QVERIFY(w.routeTable()->isHidden());
        QVERIFY(w.m_pDevInfoWidget->isWindow());
    }

    void modelsByType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("fibers");
        QTest::addColumn<int>("routeType");
        QTest::addColumn<int>("routeChannels");
        QTest::newRow("1") << 1 << "Orvex-A1" << 0 << 1 << 2;
        QTest::newRow("2") << 2 << "Orvex-A2" << 1 << 2 << 3;
        QTest::newRow("3") << 3 << "Orvex-A3" << 2 << 3 << 4;
        QTest::newRow("4") << 4 << "Orvex-A4" << 4 << 4 << 6;
        QTest::newRow("5 is set up as 3") << 5 << "Orvex-B1" << 2 << 3 << 4;
    }
    void modelsByType() {
        QFETCH(int, type);
        QFETCH(QString, model);
        QFETCH(int, fibers);
        QFETCH(int, routeType);
        QFETCH(int, routeChannels);
        device().setIdentity(identityOfType(type));
        ModalAnswerer answerer;
        Window w;
        QTRY_VERIFY(w.m_bConnected);
        QVERIFY(answerer.seen().isEmpty());
        QCOMPARE(w.deviceName(), model + "_TV2026000417");
        QCOMPARE(w.m_nCAN, 2);
        QCOMPARE(w.m_nFiberOptic, fibers);
        QCOMPARE(w.m_nHardwareType, routeType);
        QCOMPARE(w.canTabs(), 2);
        QCOMPARE(w.fiberRowsShown(), fibers);
        QVERIFY(!w.routeTable()->isHidden());
        QCOMPARE(w.routeRowsShown(), routeChannels);
        QCOMPARE(w.routeColumnsShown(), routeChannels);
        QCOMPARE(w.devInfoTexts().first(), model);
        QVERIFY(!w.m_pProgressIndicator->isAnimated());
        QVERIFY(!w.hintShown());
        // The four identity queries, in order, each a bare frame.
        const QList<QByteArray> expected = {
            QByteArray::fromHex("0012150100000000000000000000000000"),
            QByteArray::fromHex("0012140100000000000000000000000000"),
            QByteArray::fromHex("0012010100000000000000000000000000"),
            QByteArray::fromHex("0012120100000000000000000000000000"),
        };
        QCOMPARE(device().log(), expected);
    }

    void unknownTypeCodeFails_data() {
        QTest::addColumn<int>("type");
        QTest::newRow("0") << 0;
        QTest::newRow("6") << 6;
        QTest::newRow("0xFF") << 0xFF;
    }
    void unknownTypeCodeFails() {
        QFETCH(int, type);
        device().setIdentity(identityOfType(type));
        ModalAnswerer answerer;
        Window w;
        QTRY_COMPARE(answerer.texts(), QStringList{"搜索设备失败"});
        QVERIFY(!w.m_bConnected);
        QCOMPARE(w.canTabs(), 0);
        QCOMPARE(w.fiberRowsShown(), 0);
        QCOMPARE(device().openHandleCount(), 0);  // a failed search lets go of the device
    }

    void identityTexts() {
        sim::Identity identity;
        identity.hardwareMinor = 0x05;
        identity.hardwareMajor = 0x01;
        identity.firmwareMinor = 0x0A;
        identity.firmwareMajor = 0x02;
        identity.cardNumber = "ABCDEFGHIJKL";  // fills bytes 4..15, no zero byte
        device().setIdentity(identity);
        Window w;
        QTRY_VERIFY(w.m_bConnected);
        QCOMPARE(w.devInfoTexts(), (QStringList{"Orvex-A4", "1.05", "2.10", "ABCDEFGHIJKL"}));
        QCOMPARE(w.deviceName(), QString("Orvex-A4_ABCDEFGHIJKL"));
        // Shown from its start, the model first, however wide the field.
        QCOMPARE(w.findChild<QLineEdit*>("m_pLineEditDevName")->cursorPosition(), 0);
    }

    void removalEmptiesPages() {
        Window w;
        QTRY_VERIFY(w.m_bConnected);
        const QStringList identity = w.devInfoTexts();
        w.notice(kRepeaterPath, false);
        QVERIFY(!w.m_bConnected);
        QVERIFY(w.deviceName().isEmpty());
        QCOMPARE(w.canTabs(), 0);
        QCOMPARE(w.fiberRowsShown(), 0);
        QVERIFY(w.routeTable()->isHidden());
        QCOMPARE(w.devInfoTexts(), identity);
        QCOMPARE(device().openHandleCount(), 0);

        // The next device is found again, with its own channels.
        device().setIdentity(identityOfType(2));
        w.notice(kRepeaterPath, true);
        QVERIFY(w.m_pProgressIndicator->isAnimated());
        QVERIFY(w.hintShown());
        QTRY_VERIFY(w.m_bConnected);
        QCOMPARE(w.deviceName(), QString("Orvex-A2_TV2026000417"));
        QCOMPARE(w.canTabs(), 2);
        QCOMPARE(w.fiberRowsShown(), 1);
        QCOMPARE(w.routeRowsShown(), 3);
    }

    void arrivalNotices_data() {
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("search");
        QTest::newRow("repeater") << 0x0483 << 0x6901 << true;
        QTest::newRow("other product") << 0x0483 << 0x5740 << false;
        QTest::newRow("other vendor") << 0x046D << 0xC52B << false;
    }
    void arrivalNotices() {
        QFETCH(int, vendor);
        QFETCH(int, product);
        QFETCH(bool, search);
        device().setPresent(false);
        ModalAnswerer answerer;
        Window w;
        QTRY_COMPARE(answerer.texts().size(), 1);
        device().setPresent(true);
        w.notice(kRepeaterPath, true, quint16(vendor), quint16(product));
        QCOMPARE(w.m_pProgressIndicator->isAnimated(), search);
        if (search) QTRY_VERIFY(w.m_bConnected);
        QTest::qWait(20);
        QCOMPARE(w.m_bConnected, search);
        QCOMPARE(device().log().size(), search ? 4 : 0);
    }

    void oneSearchAtATime() {
        device().setLatency(5);
        ModalAnswerer answerer;
        Window w;
        // Two more arrivals while the start-up search runs start nothing.
        w.notice(kRepeaterPath, true);
        w.notice(kRepeaterPath, true);
        QTRY_VERIFY(w.m_bConnected);
        QCOMPARE(device().log().size(), 4);
        // Nor does an arrival while connected.
        w.notice(kRepeaterPath, true);
        QTest::qWait(50);
        QCOMPARE(device().log().size(), 4);
        QCOMPARE(w.canTabs(), 2);
        QVERIFY(answerer.seen().isEmpty());
    }

    void removalDuringSearch() {
        device().setLatency(10);
        ModalAnswerer answerer;
        Window w;
        w.notice(kRepeaterPath, false);  // waits for the search to let go of the device
        QCOMPARE(device().openHandleCount(), 0);
        QTest::qWait(100);
        QVERIFY(!w.m_bConnected);
        QVERIFY(!w.m_pProgressIndicator->isAnimated());
        QCOMPARE(w.canTabs(), 0);
        QVERIFY(answerer.seen().isEmpty());
        // The device comes back: a new search finds it.
        w.notice(kRepeaterPath, true);
        QTRY_VERIFY(w.m_bConnected);
    }

    void noHotPlugMonitor() {
#ifdef Q_OS_LINUX
        refuseUdevMonitor = true;
        QTest::ignoreMessage(QtDebugMsg, "注册失败");
        Window w;
        refuseUdevMonitor = false;
        QTRY_VERIFY(w.m_bConnected);  // the start-up search runs all the same
#else
        QSKIP("the system's own notifications are refused only through libudev");
#endif
    }

    // Two or three repeaters, plugged in and pulled out in different orders:
    // the window stays connected to one that is there, holds no handle to
    // another, and lists them in a submenu while there are several.
    void severalRepeaters_data() {
        QTest::addColumn<int>("atStart");
        QTest::addColumn<QStringList>("events");  // "+N" plugged in, "-N" pulled out, "N" chosen
        QTest::addColumn<QString>("devices");     // as Window::devices() says it at the end
        QTest::newRow("two at start") << 2 << QStringList() << "1 [*1 2]";
        QTest::newRow("the other chosen") << 2 << QStringList{"2"} << "2 [1 *2]";
        QTest::newRow("a second plugged in") << 1 << QStringList{"+2"} << "1 [*1 2]";
        QTest::newRow("the connected one pulled out") << 2 << QStringList{"-1"} << "2 []";
        QTest::newRow("the other one pulled out") << 2 << QStringList{"-2"} << "1 []";
        QTest::newRow("one in, the connected one out at once") << 1 << QStringList{"+2", "-1"} << "2 []";
        QTest::newRow("three: out, out, in") << 3 << QStringList{"-1", "-3", "+3"} << "2 [*2 3]";
        QTest::newRow("three: chosen, then pulled out") << 3 << QStringList{"3", "-3"} << "1 [*1 2]";
        QTest::newRow("three, all out, one back") << 3 << QStringList{"-2", "-1", "-3", "+2"} << "2 []";
        // By card number, as the command line lists them, not by path (hidraw10 after hidraw1).
        QTest::newRow("eleven, by card number") << 11 << QStringList() << "1 [*1 2 3 4 5 6 7 8 9 0 1]";
    }
    void severalRepeaters() {
        QFETCH(int, atStart);
        QFETCH(QStringList, events);
        QFETCH(QString, devices);
        QVector<sim::SimulatedRepeater*> repeaters{&device()};
        const auto plugged = [&](int n) -> sim::SimulatedRepeater& {
            while (repeaters.size() < n) repeaters << &sim::SimulatedRepeater::addDevice();
            sim::Identity identity;
            identity.cardNumber = "TV" + QByteArray::number(2026000000 + n);
            repeaters[n - 1]->setIdentity(identity);
            repeaters[n - 1]->setPresent(true);
            return *repeaters[n - 1];
        };
        for (int n = 1; n <= atStart; ++n) plugged(n);
        ModalAnswerer answerer;
        Window w;
        QTRY_VERIFY(w.m_bConnected);
        for (const QString& event : events) {
            const int n = event.right(1).toInt();
            if (event.startsWith('+')) {
                plugged(n);
                w.notice(kRepeaterPath, true);
            } else if (event.startsWith('-')) {
                repeaters[n - 1]->setPresent(false);
                w.notice(kRepeaterPath, false);
            } else {
                QAction* entry = w.m_pMenuDevices->actions().value(n - 1);
                QVERIFY(entry);
                entry->trigger();
            }
        }
        QTRY_COMPARE(w.devices(), devices);
        // No second search: a handle to the connected one only.
        for (int n = 1; n <= repeaters.size(); ++n)
            QCOMPARE(repeaters[n - 1]->openHandleCount(), devices.startsWith(QString::number(n)) ? 1 : 0);
        QVERIFY(answerer.seen().isEmpty());
    }

    // A repeater plugged in and out again while it is being listed: the
    // connected one stays connected, with its pages, and is not searched again.
    void newcomerGoneWhileListed() {
        ModalAnswerer answerer;
        Window w;
        QTRY_VERIFY(w.m_bConnected);
        device().clearLog();
        sim::SimulatedRepeater& second = sim::SimulatedRepeater::addDevice();
        w.notice(kRepeaterPath, true);
        second.setPresent(false);
        w.notice(kRepeaterPath, false);

        QTest::qWait(100);
        QCOMPARE(w.devices(), QString("7 []"));
        QVERIFY(device().log().isEmpty());
    }

    // Another repeater chosen while a file dialog was open: the pages are
    // that one's now, so neither Save nor Open goes on with them.
    void fileDialogOutlivesTheRepeater_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("content");  // of the file before and after; empty: no file
        QTest::newRow("Save") << "m_pushButtonSaveToFile" << QByteArray();
        QTest::newRow("Open") << "m_pushButtonReadFromFile" << QByteArray(R"({"CANParam": [], "Route": []})");
    }
    void fileDialogOutlivesTheRepeater() {
        QFETCH(QString, button);
        QFETCH(QByteArray, content);
        sim::SimulatedRepeater& second = sim::SimulatedRepeater::addDevice();
        sim::Identity identity;
        identity.cardNumber = "TV2026000002";
        second.setIdentity(identity);
        ModalAnswerer answerer;
        Window w;
        QTRY_COMPARE(w.m_pMenuDevices->actions().size(), 2);
        QTemporaryDir dir;
        const QString file = dir.filePath("params.txt");
        QFile existing(file);
        if (!content.isEmpty()) QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write(content) > 0);
        existing.close();
        answerer.queueFile(file, [&] {
            // Listed first, by its card number, before the connected ...417.
            w.m_pMenuDevices->actions().at(0)->trigger();
            QVERIFY(QTest::qWaitFor([&] { return w.m_bConnected && w.deviceName().endsWith("0002"); }));
        });

        w.findChild<QPushButton*>(button)->click();

        QCOMPARE(answerer.texts(), QStringList{"连接的设备已更换，请重试"});
        QVERIFY(existing.open(QIODevice::ReadOnly) || content.isEmpty());
        QCOMPARE(existing.readAll(), content);
    }

    // Another repeater chosen with the mouse in "选择设备" while the first
    // one's values (and an edit) are on the pages: without edits, or not
    // kept, the pages show its channels with their defaults; kept, they stay
    // for it; gone back, nothing changes. Until a Read, Save says so.
    void chooseAnotherRepeater_data() {
        QTest::addColumn<int>("answer");  // the button pressed over an edit; 0: no edit
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("word");     // channel 1's bit-timing text afterwards
        QTest::addColumn<QString>("closing");  // the question before closing; empty: none
        QTest::addColumn<QString>("saved");
        const QString second = "Orvex-A2_TV2026000002";
        const QString notRead = "页面上的参数不是从Orvex-A2_TV2026000002读取的：选择这台设备后尚未读配置。";
        const QString edits = "页面上的修改尚未写入设备或保存。\n";
        const QString closing = "关闭窗口将丢失这些修改。";
        QTest::newRow("no edits") << 0 << second << "0x001C00E0" << QString() << "保存完成\n\n" + notRead;
        QTest::newRow("edits kept") << int(QMessageBox::Yes) << second << "0x0012003B"
                                    << edits + notRead + "\n" + closing << "保存完成\n\n" + notRead;
        QTest::newRow("edits not kept")
            << int(QMessageBox::No) << second << "0x001C00E0" << QString() << "保存完成\n\n" + notRead;
        QTest::newRow("gone back") << int(QMessageBox::Cancel) << "Orvex-A4_TV2026000417"
                                   << "0x0012003B" << edits + closing << "保存完成";
    }
    void chooseAnotherRepeater() {
        QFETCH(int, answer);
        QFETCH(QString, name);
        QFETCH(QString, closing);
        sim::Parameters held = sim::Parameters::defaults();
        held.can[0].bitTiming = QByteArray::fromHex("0012003B");
        device().setParameters(held);
        sim::Identity identity = identityOfType(2);
        identity.cardNumber = "TV2026000002";
        sim::SimulatedRepeater::addDevice().setIdentity(identity);
        ModalAnswerer answerer;
        Window w;
        w.show();
        QTRY_COMPARE(w.m_pMenuDevices->actions().size(), 2);
        w.findChild<QPushButton*>("m_pushButtonRead")->click();
        ChannalWidget* channal = w.m_pCANParamWidget->channalWidget(0);
        if (answer) {
            channal->findChild<QTableWidget*>()->item(3, 3)->setText("12 34 56 78");
            answerer.queueButton(QMessageBox::StandardButton(answer));
        }
        answerer.clear();

        w.chooseWithMouse(1);  // by card number: ...002 before ...417

        QTRY_COMPARE(answerer.texts().size(), answer ? 1 : 0);
        if (answer)
            QCOMPARE(answerer.texts().first(),
                     QString("页面上的修改尚未写入设备或保存。是否把它们带到Orvex-A2_TV2026000002？\n"
                             "Orvex-A2_TV2026000002没有光纤2、光纤3、光纤4，保留时舍去这些通道的值。\n"
                             "不保留则页面显示Orvex-A2_TV2026000002的默认值。"));
        QTRY_COMPARE(w.deviceName(), name);
        QTRY_VERIFY(w.m_bConnected && !QApplication::activeModalWidget());
        QTEST(channal->findChild<QLineEdit*>("m_lineEditBautRate")->text(), "word");
        answerer.clear();
        answerer.queueButton(QMessageBox::Cancel);
        w.close();
        QCOMPARE(answerer.texts(), closing.isEmpty() ? QStringList() : QStringList{closing});
        QTemporaryDir dir;
        answerer.clear();
        answerer.queueFile(dir.filePath("chosen.txt"));
        w.findChild<QPushButton*>("m_pushButtonSaveToFile")->click();
        QTEST(answerer.texts().value(0), "saved");
    }

    void windowDestroyedDuringSearch() {
        device().setLatency(10);
        {
            Window w;
            w.notice(kRepeaterPath, true);
        }  // waits for its search instead of leaving it a dangling window
        QTest::qWait(50);
        QCOMPARE(device().log().size(), 4);
    }
};

QTEST_MAIN(DiscoveryTest)
#include "tst_discovery.moc"
