// Every transaction of the search, the Read, the Write and the comparison
// with the device (the Read's queries, one of each stage) against every fault
// the link can show. The cases come from a table of steps crossed with a
// table of faults; what each pair must lead to follows from a few rules that
// are stated once, in expectedMessage().
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QtTest>

#include "CustomProgressIndicator.h"
#include "DeviceParameters.h"
#include "ModalAnswerer.h"
#include "TestWindow.h"

using sim::Fault;

namespace {

enum class Operation { Search, Read, Write, Compare };
enum class Stage { Identity, Baud, Filter, Fiber, Route, Reset };

// One transaction: the report that carries it, where it stands in the
// operation's traffic, and which occurrence of its command code it is.
struct Step {
    QByteArray name;
    Operation operation;
    Stage stage;
    int channel;  // CAN channel 0 or 1 for Baud and Filter; 2 for the steps after both channels
    int code;
    int occurrence;
    int index;  // position of its report in the operation's log, from 0
    QByteArray report;
};

struct FaultCase {
    const char* name;
    Fault fault;
};

const FaultCase kFaults[] = {
    {"no reply", Fault::NoReply},         {"late reply", Fault::LateReply},
    {"wrong status", Fault::WrongStatus}, {"15 bytes", Fault::ShortReply},
    {"17 bytes", Fault::LongReply},       {"short write", Fault::ShortWrite},
    {"write error", Fault::WriteError},   {"unplugged", Fault::Unplug},
};

QByteArray frame(const char* hex, std::initializer_list<quint8> tail = {}) {
    QByteArray bytes = QByteArray::fromHex(hex);
    for (quint8 value : tail) bytes.append(char(value));
    bytes.append(QByteArray(17 - bytes.size(), '\0'));
    return bytes;
}

// Banks whose filter transactions are faulted: every bank of channel 1, the
// first, a middle and the last one of channel 2.
QVector<int> faultedBanks(int channel) {
    if (channel == 0) {
        QVector<int> all;
        for (int bank = 0; bank < 14; ++bank) all << bank;
        return all;
    }
    return {0, 7, 13};
}

// A type-4 device: two CAN channels, four fiber channels.
QVector<Step> steps() {
    QVector<Step> list;
    const char* identityNames[] = {"type", "card number", "hardware version", "firmware version"};
    const int identityCodes[] = {0x15, 0x14, 0x01, 0x12};
    for (int i = 0; i < 4; ++i) {
        list.append({QByteArray("search ") + identityNames[i], Operation::Search, Stage::Identity, 0,
                     identityCodes[i], 1, i, frame("0012", {quint8(identityCodes[i]), 0x01})});
    }

    // Read: per channel the baud rate query and 14 filter queries; byte 5 keeps
    // the last bank number in the queries that do not set it.
    for (int c = 0; c < 2; ++c) {
        const quint8 id = quint8(c + 1);
        list.append({"read channel " + QByteArray::number(id) + " baud rate", Operation::Read, Stage::Baud, c,
                     0xA4, c + 1, 15 * c, frame("0012A401", {id, quint8(c == 0 ? 0x00 : 0x0D)})});
        for (int bank : faultedBanks(c)) {
            list.append({"read channel " + QByteArray::number(id) + " bank " + QByteArray::number(bank),
                         Operation::Read, Stage::Filter, c, 0xA5, 14 * c + bank + 1, 15 * c + 1 + bank,
                         frame("0012A502", {id, quint8(bank)})});
        }
    }
    list.append({"read fiber", Operation::Read, Stage::Fiber, 2, 0x26, 1, 30, frame("00122601000D")});
    list.append({"read route", Operation::Read, Stage::Route, 2, 0x28, 1, 31, frame("00122801000D")});
    // The comparison sends the Read's queries: one step of each stage.
    for (const Step& read : QVector<Step>(list)) {
        if (read.operation != Operation::Read || (read.stage == Stage::Filter && read.channel == 0) ||
            (read.stage == Stage::Baud && read.channel == 1) ||
            (read.stage == Stage::Filter && read.index != 23))
            continue;
        Step compare = read;
        compare.name.replace("read", "compare");
        compare.operation = Operation::Compare;
        list.append(compare);
    }

    // Write, with the values writablePages() puts on the pages.
    const quint8 words[2][4] = {{0x00, 0x12, 0x00, 0x05}, {0x00, 0x12, 0x00, 0x3B}};
    for (int c = 0; c < 2; ++c) {
        const quint8 id = quint8(c + 1);
        const quint8* w = words[c];
        list.append({"write channel " + QByteArray::number(id) + " baud rate", Operation::Write, Stage::Baud,
                     c, 0x23, c + 1, 15 * c, frame("0012230600", {id, w[0], w[1], w[2], w[3]})});
        for (int bank : faultedBanks(c)) {
            // Bank 0 in use, the others not; mask mode, 32 bits, registers zero.
            const quint8 flags = quint8((bank == 0 ? 0x80 : 0x00) | id);
            list.append({"write channel " + QByteArray::number(id) + " bank " + QByteArray::number(bank),
                         Operation::Write, Stage::Filter, c, 0x24, 14 * c + bank + 1, 15 * c + 1 + bank,
                         frame("0012240B", {quint8(bank), flags, 0x01})});
        }
    }
    list.append({"write fiber", Operation::Write, Stage::Fiber, 2, 0x25, 1, 30, frame("00122505000102030C")});
    list.append({"write route", Operation::Write, Stage::Route, 2, 0x27, 1, 31, frame("0012270900")});
    list.append({"write reset", Operation::Write, Stage::Reset, 2, 0x11, 1, 32, frame("0012110100")});
    return list;
}

int totalReports(Operation operation) {
    switch (operation) {
        case Operation::Search:
            return 4;
        case Operation::Read:
        case Operation::Compare:
            return 2 + 28 + 1 + 1;
        case Operation::Write:
            return 2 * 15 + 3;
    }
    return 0;
}

QString successMessage(Operation operation) {
    switch (operation) {
        case Operation::Search:
        case Operation::Compare:
            return QString();  // a found device is shown, a comparison in a dialog of its own
        case Operation::Read:
            return "读取成功";
        case Operation::Write:
            return "设置成功";
    }
    return QString();
}

// The rules, once:
// - A wrong status byte is a fault only where the status is tested: the set
//   commands (the whole Write) and the CAN baud-rate query 0xA4. The identity,
//   filter, fiber and route queries use their replies as they come, so there
//   the operation carries on to its success.
// - A late reply is discarded by the next transaction: for its own step it
//   is no reply. Only the reset waits long enough (4 s) for the default 200 ms
//   delay to be on time; a reset reply later than 4 s would only repeat the
//   no-reply case at another 4 s of waiting. So the unanswered reset is the
//   one case that waits out its 4 s, which keeps the matrix fast.
// - Unplugging takes the report, then fails the read: a reply fault.
// - Search: any fault → "搜索设备失败".
// - Read: the message of the stage; the Chinese catalogue renders the fiber
//   text as "读取光驱数据失败". A filter reply that does not come is reported
//   with the filter message too.
// - Write: the message of the stage; at the reset a frame not sent is
//   "发送复位指令失败.", a reply that is not an acknowledgement "复位失败.",
//   and no reply (a read of other than 16 bytes is none) "参数已设置，复位无应答.",
//   since every parameter frame before it was acknowledged.
QString expectedMessage(const Step& step, Fault fault) {
    const bool statusTested = step.operation == Operation::Write || step.stage == Stage::Baud;
    if (fault == Fault::WrongStatus && !statusTested) return successMessage(step.operation);
    if (fault == Fault::LateReply && step.stage == Stage::Reset) return successMessage(step.operation);
    const bool notSent = fault == Fault::ShortWrite || fault == Fault::WriteError;

    switch (step.operation) {
        case Operation::Search:
            return "搜索设备失败";
        case Operation::Read:
        case Operation::Compare:
            switch (step.stage) {
                case Stage::Baud:
                    return "读取CAN波特率失败";
                case Stage::Filter:
                    return "读取掩码数据失败";
                case Stage::Fiber:
                    return "读取光驱数据失败";
                default:
                    return "读取路由数据失败";
            }
        case Operation::Write:
            switch (step.stage) {
                case Stage::Baud:
                    return "设置CAN波特率失败";
                case Stage::Filter:
                    return "设置CAN掩码失败";
                case Stage::Fiber:
                    return "设置光纤波特率失败";
                case Stage::Route:
                    return "设置路由失败";
                default:
                    if (notSent) return "发送复位指令失败.";
                    return fault == Fault::WrongStatus ? "复位失败." : "参数已设置，复位无应答.";
            }
    }
    return QString();
}

// The page contents that can be told apart: channel word, one filter frame per
// channel, fiber codes, route frame.
struct Shown {
    QByteArray word[2];
    QByteArray filter[2];
    QByteArray fiber;
    QByteArray route;
};

Shown shown(TestWindow& window) {
    Shown s;
    for (int c = 0; c < 2; ++c) {
        s.word[c] = window.channal(c)->baudRateFrame().mid(6, 4);
        s.filter[c] = window.channal(c)->filterFrames()[c == 0 ? 3 : 0];
    }
    for (int i = 0; i < 4; ++i) s.fiber += window.m_pOpticalFiberParamWidget->baudRateData(i).toByteArray();
    s.route = window.m_pRouteParamWidget->routeFrame();
    return s;
}

// A fresh window's pages, and the same after a Read of deviceParameters().
const Shown kDefaultPages = {{QByteArray::fromHex("001C00E0"), QByteArray::fromHex("001C00E0")},
                             {frame("0012240B030101"), frame("0012240B008201")},
                             QByteArray::fromHex("0B0B0B0B"),
                             frame("00122709004F8F0000C7CBCDCE")};
const Shown kReadPages = {{QByteArray::fromHex("00120005"), QByteArray::fromHex("12345678")},
                          {frame("0012240B03811011223344AABBCCDD"), frame("0012240B0002110102030405060708")},
                          QByteArray::fromHex("0102030C"),
                          frame("00122709004088000000810DC0")};

// The device before the Write: two filter banks that the pages will send
// differently, the rest its defaults.
sim::Parameters writeStart() {
    sim::Parameters p = sim::Parameters::defaults();
    p.can[0].banks[1].flags = 0x00;
    p.can[1].banks[13].flags = 0x00;
    return p;
}

// Values for the Write that differ from the device's defaults, so that what
// the device took is visible in its parameters.
void writablePages(TestWindow& window) {
    window.channal(0)->findChild<QComboBox*>("m_pComboBoxBautRate")->setCurrentIndex(14);  // 1000K
    window.channal(1)->findChild<QComboBox*>("m_pComboBoxBautRate")->setCurrentIndex(6);   // 100K
    for (int i = 0; i < 4; ++i) window.m_pOpticalFiberParamWidget->setBaudRateCode(i, i == 3 ? 0x0c : i + 1);
    const unsigned char noRoutes[16] = {};
    window.m_pRouteParamWidget->setRouteReply(noRoutes);
}

}  // namespace

class FaultMatrixTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { removeLanguageSettings(); }
    void init() { repeater().reset(); }

    void cleanup() {
        // An unplugged handle stays dead, and a failed case may leave anything.
        if (m_windowUnplugged || QTest::currentTestFailed()) m_window.reset();
        m_windowUnplugged = false;
    }
    void cleanupTestCase() { m_window.reset(); }

    void faultStopsAtItsStep_data();
    void faultStopsAtItsStep();

private:
    // One connected window serves the Read and Write cases in turn: building a
    // window per case costs more than the whole matrix under the sanitizers.
    TestWindow* connectedTypeFour() {
        if (!m_window) m_window = connectedWindow(4);
        if (!m_window) return nullptr;
        // Pages the row before left changed: Default asks first.
        ModalAnswerer discard;
        discard.queueButton(QMessageBox::Discard);
        m_window->button("m_pushButtonDefault")->click();
        repeater().clearLog();
        return m_window.get();
    }

    void checkSearch(const Step& step, bool success, TestWindow& window);
    void checkRead(const Step& step, bool success, TestWindow& window);
    void checkWrite(const Step& step, bool success, const Shown& before, TestWindow& window);

    std::unique_ptr<TestWindow> m_window;
    bool m_windowUnplugged = false;
};

void FaultMatrixTest::faultStopsAtItsStep_data() {
    QTest::addColumn<int>("stepIndex");
    QTest::addColumn<Fault>("fault");
    const QVector<Step> table = steps();
    for (int s = 0; s < table.size(); ++s) {
        for (const FaultCase& f : kFaults) {
            QTest::newRow((table[s].name + ", " + f.name).constData()) << s << f.fault;
        }
    }
}

void FaultMatrixTest::faultStopsAtItsStep() {
    QFETCH(int, stepIndex);
    QFETCH(Fault, fault);
    const Step step = steps().at(stepIndex);
    const QString message = expectedMessage(step, fault);
    const bool success = message == successMessage(step.operation);

    ModalAnswerer answerer;
    std::unique_ptr<TestWindow> searching;
    TestWindow* window = nullptr;
    Shown before;
    if (step.operation == Operation::Search) {
        repeater().injectFault(step.code, fault, step.occurrence);
        searching = std::make_unique<TestWindow>();
        window = searching.get();
        QTRY_VERIFY(window->m_bConnected || !answerer.texts().isEmpty());
        QTest::qWait(20);  // room for a second message, if any came
    } else {
        window = connectedTypeFour();
        QVERIFY(window);
        m_windowUnplugged = fault == Fault::Unplug;
        if (step.operation != Operation::Write) {
            repeater().setParameters(deviceParameters());
        } else {
            writablePages(*window);
            repeater().setParameters(writeStart());
        }
        before = shown(*window);
        repeater().injectFault(step.code, fault, step.occurrence);
        // Over pages the row before left changed, the Read asks first: it goes on.
        if (step.operation == Operation::Read) answerer.queueButton(QMessageBox::Discard);
        if (step.operation == Operation::Compare)
            window->findChild<QAction*>("m_pActionCompare")->trigger();
        else
            window->button(step.operation == Operation::Read ? "m_pushButtonRead" : "m_pushButtonWrite")
                ->click();
    }

    // Exactly one message, and the right one: never success after a failure.
    QStringList results;
    for (const ModalAnswerer::Seen& box : answerer.messages())
        if (box.kind != "question") results << box.text;
    QCOMPARE(results, message.isEmpty() ? QStringList() : QStringList{message});
    for (const auto& box : answerer.messages()) QCOMPARE(box.title, QString("提示"));

    // Nothing is sent after the failing report.
    const QList<QByteArray> log = repeater().log();
    if (success) {
        QCOMPARE(log.size(), totalReports(step.operation));
    } else {
        QCOMPARE(log.size(), step.index + 1);
    }
    QCOMPARE(log.at(step.index), step.report);

    QVERIFY(!QApplication::overrideCursor());
    switch (step.operation) {
        case Operation::Search:
            checkSearch(step, success, *window);
            break;
        case Operation::Read:
            checkRead(step, success, *window);
            break;
        case Operation::Write:
            checkWrite(step, success, before, *window);
            break;
        case Operation::Compare:
            // The pages stay as they were; only a complete Read is shown, in its dialog.
            QVERIFY(window->button("m_pushButtonRead")->isEnabled());
            QCOMPARE(shown(*window).route, before.route);
            QCOMPARE(shown(*window).fiber, before.fiber);
            for (int c = 0; c < 2; ++c) {
                QCOMPARE(shown(*window).word[c], before.word[c]);
                QCOMPARE(shown(*window).filter[c], before.filter[c]);
            }
            QCOMPARE(answerer.seen().size() - answerer.messages().size(), success ? 1 : 0);
            break;
    }
}

void FaultMatrixTest::checkSearch(const Step&, bool success, TestWindow& window) {
    QCOMPARE(window.m_bConnected, success);
    QVERIFY(!window.findChild<CustomProgressIndicator*>()->isAnimated());
    QVERIFY(window.findChild<QLabel*>("m_pLabelHint")->isHidden());
    QCOMPARE(window.deviceName(), success ? QString("Orvex-A4_TV2026000417") : QString());
    const int tabs = window.m_pCANParamWidget->findChild<QTabWidget*>("m_tabWidgetChannal")->count();
    QCOMPARE(tabs, success ? 2 : 0);
    // A failed search lets go of the device, so the next arrival can open it.
    if (!success) QCOMPARE(repeater().openHandleCount(), 0);
}

void FaultMatrixTest::checkRead(const Step& step, bool success, TestWindow& window) {
    QVERIFY(window.button("m_pushButtonRead")->isEnabled());
    const Shown now = shown(window);
    // Channels before the failing one are read whole; the failing channel
    // keeps its word when the filters failed, and its old table; nothing
    // after the failing step changes.
    for (int c = 0; c < 2; ++c) {
        const bool wholeChannel = success || c < step.channel;
        const bool wordRead = wholeChannel || (c == step.channel && step.stage == Stage::Filter);
        QCOMPARE(now.word[c], wordRead ? kReadPages.word[c] : kDefaultPages.word[c]);
        QCOMPARE(now.filter[c], wholeChannel ? kReadPages.filter[c] : kDefaultPages.filter[c]);
    }
    const bool fiberRead = success || step.stage == Stage::Route;
    QCOMPARE(now.fiber, fiberRead ? kReadPages.fiber : kDefaultPages.fiber);
    QCOMPARE(now.route, success ? kReadPages.route : kDefaultPages.route);
}

void FaultMatrixTest::checkWrite(const Step& step, bool success, const Shown& before, TestWindow& window) {
    QVERIFY(window.button("m_pushButtonWrite")->isEnabled());
    const Shown now = shown(window);  // the Write changes no page
    for (int c = 0; c < 2; ++c) {
        QCOMPARE(now.word[c], before.word[c]);
        QCOMPARE(now.filter[c], before.filter[c]);
    }
    QCOMPARE(now.fiber, before.fiber);
    QCOMPARE(now.route, before.route);
    QCOMPARE(now.route, frame("0012270900"));

    // The device took every frame before the failing one and none after it;
    // the failing frame itself is the device's own matter.
    const sim::Parameters device = repeater().parameters();
    const sim::Parameters defaults = writeStart();
    const auto check = [&](int index, auto written, auto old, auto held) {
        if (success || step.index > index) {
            QCOMPARE(held, written);
        } else if (step.index < index) {
            QCOMPARE(held, old);
        }
    };
    check(0, QByteArray::fromHex("00120005"), defaults.can[0].bitTiming, device.can[0].bitTiming);
    check(15, QByteArray::fromHex("0012003B"), defaults.can[1].bitTiming, device.can[1].bitTiming);
    check(2, int(0x01), 0, int(device.can[0].banks[1].flags));
    check(29, int(0x02), 0, int(device.can[1].banks[13].flags));
    check(30, QByteArray::fromHex("0102030C"),
          QByteArray(reinterpret_cast<const char*>(defaults.fiber.data()), 4),
          QByteArray(reinterpret_cast<const char*>(device.fiber.data()), 4));
    check(31, QByteArray(6, '\0'), QByteArray(reinterpret_cast<const char*>(defaults.route.data()), 6),
          QByteArray(reinterpret_cast<const char*>(device.route.data()), 6));
    if (success) QCOMPARE(device.resetCount, 1);
    if (step.index < 32) QCOMPARE(device.resetCount, 0);
}

QTEST_MAIN(FaultMatrixTest)
#include "tst_faultmatrix.moc"
