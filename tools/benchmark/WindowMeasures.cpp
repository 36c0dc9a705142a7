// The measurements of the window and the device exchange in this process.
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <hidapi.h>

#include "BitTiming.h"
#include "DeviceRead.h"
#include "DeviceWrite.h"
#include "Measures.h"
#include "ParameterDocument.h"
#include "ParameterFile.h"
#include "Probe.h"
#include "Protocol.h"
#include "RepeaterDiscovery.h"
#include "SimulatedRepeater.h"

namespace bench {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "benchmark: %s\n", what);
    std::exit(1);
}

double median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

namespace {

// Lets pending repaints and deferred deletions run, so that they do not fall
// into the next measurement.
void settle(int ms = 20) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Notes when the first queued call reaches the discovery: that is the
// search's result, which onShowName then shows.
class MetaCallWatch : public QObject {
public:
    explicit MetaCallWatch(QObject* target) : m_target(target) { target->installEventFilter(this); }
    ~MetaCallWatch() override { m_target->removeEventFilter(this); }
    qint64 arrivedNs = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MetaCall && arrivedNs == 0) arrivedNs = probe::monotonicNs();
        return false;
    }

private:
    QObject* m_target;
};

// The device's document with its "CANParam" array repeated `growth` times.
QJsonDocument grown(const QJsonDocument& document, int growth) {
    QJsonObject top = document.object();
    const QJsonArray channals = top.value(QStringLiteral("CANParam")).toArray();
    QJsonArray many;
    for (int i = 0; i < growth; ++i)
        for (const QJsonValue& channal : channals) many.append(channal);
    top.insert(QStringLiteral("CANParam"), many);
    return QJsonDocument(top);
}

}  // namespace

// Shows the window and waits for its start-up search to connect.
void waitForConnection(BenchWindow& window) {
    window.show();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (window.m_bConnected) loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    if (!window.m_bConnected) fail("no device found");
}

// The simulator and the kernel alone: `reports` bare hid_write and
// hid_read_timeout pairs on a handle of its own, no program code. The
// reader wakes from a timed wait when the reply is due, so this is the
// floor the program can reach on this machine.
double measureBare(int reports) {
    static const unsigned char kRouteQuery[17] = {0x00, 0x12, 0x28, 0x01, 0x00};
    hid_device* handle = hid_open(Protocol::VendorId, Protocol::ProductId, nullptr);
    if (!handle) fail("the simulator refused the device");
    std::vector<double> times;
    unsigned char reply[18];
    for (int run = 0; run < kRuns; ++run) {
        const qint64 start = probe::monotonicNs();
        for (int i = 0; i < reports; ++i) {
            if (hid_write(handle, kRouteQuery, sizeof kRouteQuery) != 17 ||
                hid_read_timeout(handle, reply, sizeof reply, 100) != 16)
                fail("the simulator did not answer");
        }
        times.push_back(probe::msSince(start));
    }
    hid_close(handle);
    return median(times);
}

SearchFigures measureSearch(BenchWindow& window) {
    sim::SimulatedRepeater& device = sim::SimulatedRepeater::instance();
    std::vector<double> toShowName, toConnected, open;
    for (int run = 0; run < kRuns; ++run) {
        emit window.deviceChanged(0);  // unplugged ...
        settle();
        device.clearLog();
        MetaCallWatch watch(window.findChild<RepeaterDiscovery*>());
        QEventLoop loop;
        qint64 handledNs = 0;
        // Queued after the window's own connection: runs when onShowName is done.
        QObject::connect(
            &window, &Tarvane::showName, &loop,
            [&] {
                handledNs = probe::monotonicNs();
                loop.quit();
            },
            Qt::QueuedConnection);
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        const qint64 start = probe::monotonicNs();
        emit window.deviceChanged(1);  // ... and plugged in again
        loop.exec();
        if (!window.m_bConnected || handledNs == 0) fail("the search did not connect");
        if (device.log().size() != kSearchReports) fail("the search did not send 4 reports");
        toShowName.push_back(double(watch.arrivedNs - start) / 1e6);
        toConnected.push_back(double(handledNs - start) / 1e6);
    }
    // What the search spends in opening the device, apart from its reports.
    for (int run = 0; run < kRuns; ++run) {
        const qint64 start = probe::monotonicNs();
        hid_device* handle = hid_open(Protocol::VendorId, Protocol::ProductId, nullptr);
        hid_set_nonblocking(handle, 0);
        const double ms = probe::msSince(start);
        hid_close(handle);
        open.push_back(ms);
    }
    return {median(toShowName), median(toConnected), median(open)};
}

// The device exchange of an operation without the button, cursor and box.
template <typename Operation>
double measureExchange(BenchWindow& window) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        settle();
        ParameterSet set = window.pageValues();
        Operation operation(*window.m_hidDevice, set);
        const qint64 start = probe::monotonicNs();
        if (operation.run() != Operation::Result::Done) fail("the device exchange failed");
        times.push_back(probe::msSince(start));
    }
    return median(times);
}
template double measureExchange<DeviceRead>(BenchWindow& window);
template double measureExchange<DeviceWrite>(BenchWindow& window);

// Clicks a button and waits for the message box that reports the result.
OperationFigures measureOperation(BenchWindow& window, const char* button, const QString& expected) {
    sim::SimulatedRepeater& device = sim::SimulatedRepeater::instance();
    std::vector<double> times;
    int reports = 0;
    for (int run = 0; run < kRuns; ++run) {
        settle();
        device.clearLog();
        probe::BoxAnswerer boxes;
        const qint64 start = probe::monotonicNs();
        window.button(button)->click();
        if (boxes.texts != QStringList{expected}) fail("the operation did not report success");
        times.push_back(double(boxes.shownNs - start) / 1e6);
        reports = device.log().size();
    }
    return {median(times), reports, 0};
}

// What the Write's first step costs: its button disabled, then one pass of
// the event loop of at most 5 ms, as the Write does before it sends.
double measureSettleStep(BenchWindow& window) {
    std::vector<double> times;
    QPushButton* button = window.button("m_pushButtonWrite");
    for (int run = 0; run < kRuns; ++run) {
        settle();
        const qint64 start = probe::monotonicNs();
        button->setEnabled(false);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        times.push_back(probe::msSince(start));
        button->setEnabled(true);
    }
    return median(times);
}

// Save: building the document from the pages and writing it. Open: reading,
// parsing and applying it. The file dialogs and message boxes are left out.
FileFigures measureFile(BenchWindow& window, const QString& path, int growth) {
    std::vector<double> save, open;
    QString warning;
    for (int run = 0; run < kRuns; ++run) {
        const qint64 start = probe::monotonicNs();
        QJsonDocument document = ParameterDocument::toDocument(window.pageValues());
        if (growth > 1) document = grown(document, growth);
        if (!ParameterFile::save(path, document, &warning)) fail("save failed");
        save.push_back(probe::msSince(start));
    }
    for (int run = 0; run < kRuns; ++run) {
        const qint64 start = probe::monotonicNs();
        const ParameterFile::Opened file = ParameterFile::open(path, ParameterFile::Reading::Lenient);
        if (!file.isOpen) fail(qPrintable(file.warning));
        ParameterSet set = window.pageValues();
        ParameterDocument::apply(file.object, &set);
        window.showValues(set);
        open.push_back(probe::msSince(start));
    }
    return {median(open), median(save), QFileInfo(path).size()};
}

// The calculator's search over every prescaler and segment value, for the
// longest list the dialog can ask for: the slowest table rate at the
// largest tolerance.
SearchTiming measureBitTimingSearch() {
    BitTiming::Request request;
    request.bitRate = 5000;
    request.samplePoint = BitTiming::defaultSamplePoint(request.bitRate);
    request.tolerance = 0.02;
    std::vector<double> times;
    int words = 0;
    for (int run = 0; run < kRuns; ++run) {
        const qint64 start = probe::monotonicNs();
        const QVector<BitTiming::Candidate> found = BitTiming::search(request);
        times.push_back(probe::msSince(start));
        words = found.size();
    }
    if (words == 0) fail("the bit-timing search found nothing");
    return {median(times), words};
}

}  // namespace bench
