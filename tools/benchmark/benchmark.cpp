// Times the program against the simulated repeater and prints one table:
// device search, Read and Write config, start-up, peak memory, Open and Save
// of a parameter file, the bit-timing search and the command line's read.
// Every figure is the median of several runs.
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <hidapi.h>
#include <sys/prctl.h>

#include "BitTiming.h"
#include "CANParamWidget.h"
#include "DeviceRead.h"
#include "DeviceWrite.h"
#include "OpticalFiberParamWidget.h"
#include "ParameterDocument.h"
#include "ParameterFile.h"
#include "Probe.h"
#include "RepeaterDiscovery.h"
#include "RouteParamWidget.h"
#include "SimulatedRepeater.h"
#include "Tarvane.h"

namespace {

constexpr int kRuns = 11;
constexpr int kLatencyMs = 1;
constexpr int kSearchReports = 4;
constexpr int kFileGrowth = 100;

class BenchWindow : public Tarvane {
public:
    using Tarvane::m_bConnected;
    using Tarvane::m_hidDevice;
    using Tarvane::m_nCAN;
    using Tarvane::m_nFiberOptic;
    using Tarvane::m_pCANParamWidget;
    using Tarvane::m_pOpticalFiberParamWidget;
    using Tarvane::m_pRouteParamWidget;

    using Tarvane::pageValues;
    using Tarvane::showValues;

    QPushButton* button(const char* name) const { return findChild<QPushButton*>(QLatin1String(name)); }
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "benchmark: %s\n", what);
    std::exit(1);
}

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

double median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

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

// The simulator and the kernel alone: `reports` bare hid_write and
// hid_read_timeout pairs on a handle of its own, no program code. The
// reader wakes from a timed wait when the reply is due, so this is the
// floor the program can reach on this machine.
double measureBare(int reports) {
    static const unsigned char kRouteQuery[17] = {0x00, 0x12, 0x28, 0x01, 0x00};
    hid_device* handle = hid_open(0x0483, 0x6901, nullptr);
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

struct SearchFigures {
    double toShowName;
    double toConnected;
    double openMs;
};

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
        hid_device* handle = hid_open(0x0483, 0x6901, nullptr);
        hid_set_nonblocking(handle, 0);
        const double ms = probe::msSince(start);
        hid_close(handle);
        open.push_back(ms);
    }
    return {median(toShowName), median(toConnected), median(open)};
}

struct OperationFigures {
    double ms;
    int reports;
    double exchangeMs;  // DeviceRead::run() or DeviceWrite::run() alone
};

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

// Clicks a button and waits for the message box that reports the result.
OperationFigures measureOperation(BenchWindow& window, const char* button, const char* success) {
    sim::SimulatedRepeater& device = sim::SimulatedRepeater::instance();
    const QString expected = QCoreApplication::translate("Tarvane", success);
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

struct FileFigures {
    double openMs;
    double saveMs;
    qint64 bytes;
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
        QJsonObject object;
        if (!ParameterFile::load(path, &object, &warning)) fail(qPrintable(warning));
        ParameterSet set = window.pageValues();
        ParameterDocument::apply(object, &set);
        window.showValues(set);
        open.push_back(probe::msSince(start));
    }
    return {median(open), median(save), QFileInfo(path).size()};
}

struct SearchTiming {
    double ms;
    int words;
};

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

// Runs a child program to its end; it must end with status 0.
void runToEnd(QProcess& process, const QString& program, const QStringList& args) {
    process.start(program, args);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        fail(qPrintable("this failed or did not finish: " + program + " " + args.join(' ') + "\n" +
                        QString::fromLocal8Bit(process.readAllStandardError())));
    }
}

// One line "key=value ..." of a child program's output.
QMap<QString, QString> runChild(const QString& program, const QStringList& args, qint64* startNs) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    *startNs = probe::monotonicNs();
    runToEnd(process, program, args);
    QMap<QString, QString> values;
    for (const QString& pair : QString::fromLatin1(process.readAllStandardOutput()).simplified().split(' ')) {
        const int eq = pair.indexOf('=');
        if (eq > 0) values.insert(pair.left(eq), pair.mid(eq + 1));
    }
    return values;
}

// The medians of a child program's figures over the runs.
struct ChildFigures {
    std::vector<double> total, toApp, build, firstFrame, proc, kib;

    void add(const QMap<QString, QString>& v, qint64 startNs) {
        const qint64 app = v.value("app_ns").toLongLong();
        const qint64 built = v.value("built_ns").toLongLong();
        const qint64 paint = v.value("paint_ns").toLongLong();
        total.push_back(double(paint - startNs) / 1e6);
        toApp.push_back(double(app - startNs) / 1e6);
        build.push_back(double(built - app) / 1e6);
        firstFrame.push_back(double(paint - built) / 1e6);
        proc.push_back(v.value("proc_ms").toDouble());
        kib.push_back(v.value("hwm_kib").toDouble());
    }
    QString breakdown() const {
        return QString::asprintf("%.1f / %.1f / %.1f ms", median(toApp), median(build), median(firstFrame));
    }
};

struct StartupFigures {
    ChildFigures tarvane, minimal, labelled;
    double readKiB;
};

// A text the main window shows, for the baseline that draws text.
const char* const kLabel = "读配置";

StartupFigures measureStartup() {
    const QString dir = QCoreApplication::applicationDirPath();
    const QString tarvane = dir + "/tarvane-startup-probe";
    const QString minimal = dir + "/tarvane-minimal-dialog";
    StartupFigures figures;
    std::vector<double> readKiB;
    qint64 start = 0;
    // One run each first, so that all start from a warm file cache.
    const QString size = runChild(tarvane, {}, &start).value("size");
    const QStringList labelled{"--size", size, "--label", QString::fromUtf8(kLabel)};
    runChild(minimal, {"--size", size}, &start);
    runChild(minimal, labelled, &start);
    for (int run = 0; run < kRuns; ++run) {
        auto values = runChild(tarvane, {}, &start);
        figures.tarvane.add(values, start);
        values = runChild(minimal, {"--size", size}, &start);
        figures.minimal.add(values, start);
        values = runChild(minimal, labelled, &start);
        figures.labelled.add(values, start);
        values = runChild(tarvane, {"--read"}, &start);
        if (values.value("boxes") != "1") fail("the Read in the child did not report once");
        readKiB.push_back(values.value("read_hwm_kib").toDouble());
    }
    figures.readKiB = median(readKiB);
    return figures;
}

struct CliFigures {
    double readMs;      // tarvane-cli read, start to end of the process
    double versionMs;   // tarvane-cli --version: its start and end without a device
    double emptyMs;     // an empty Qt command-line program
    double readKiB;     // peak resident set of tarvane-cli read
    double emptyKiB;    // and of the empty program
};

struct ProcessRun {
    double ms;
    double maxRssKiB;
};

// Start to end of a child program and its peak resident set, through the
// small program that starts it; its output is kept out of the table. Every
// program measured is started this one way.
ProcessRun spawnToEnd(const QString& program, const QStringList& args) {
    qint64 start = 0;
    const auto values =
        runChild(QCoreApplication::applicationDirPath() + "/tarvane-measure-process", QStringList{program} + args, &start);
    return {values.value("ms").toDouble(), values.value("maxrss_kib").toDouble()};
}

// tarvane-cli read end to end: a process of its own with its own simulated
// repeater (1 ms per report, the simulator's default), its search and Read,
// and the file saved.
CliFigures measureCli(const QString& file) {
    const QString cli = QString::fromLocal8Bit(TARVANE_CLI_SIMULATED);
    const QString empty = QCoreApplication::applicationDirPath() + "/tarvane-empty-cli";
    const QStringList read{"read", "-o", file};
    std::vector<double> readMs, versionMs, emptyMs, readKiB, emptyKiB;
    // One run each first, so that all start from a warm file cache.
    spawnToEnd(cli, read);
    spawnToEnd(empty, {});
    for (int run = 0; run < kRuns; ++run) {
        const ProcessRun reading = spawnToEnd(cli, read);
        readMs.push_back(reading.ms);
        readKiB.push_back(reading.maxRssKiB);
        versionMs.push_back(spawnToEnd(cli, {"--version"}).ms);
        const ProcessRun nothing = spawnToEnd(empty, {});
        emptyMs.push_back(nothing.ms);
        emptyKiB.push_back(nothing.maxRssKiB);
    }
    return {median(readMs), median(versionMs), median(emptyMs), median(readKiB), median(emptyKiB)};
}

QString verdict(bool met) {
    return met ? QStringLiteral("met") : QStringLiteral("**missed**");
}

}  // namespace

int main(int argc, char* argv[]) {
    // Headless unless told otherwise; the programs it starts inherit this.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    probe::quietOffscreenWarnings();
    QApplication app(argc, argv);
    hid_init();

    sim::SimulatedRepeater& device = sim::SimulatedRepeater::instance();
    device.reset();
    device.setLatency(kLatencyMs);
    sim::Identity identity;
    identity.hardwareType = 4;
    device.setIdentity(identity);

    QTemporaryDir temp;
    std::printf("Running (%d runs per figure) ...\n", kRuns);
    std::fflush(stdout);

    SearchFigures search{};
    OperationFigures read{}, write{};
    double settleStepMs = 0;
    FileFigures small{}, large{};
    {
        BenchWindow window;
        waitForConnection(window);

        search = measureSearch(window);
        read = measureOperation(window, "m_pushButtonRead", "读取成功");
        read.exchangeMs = measureExchange<DeviceRead>(window);
        write = measureOperation(window, "m_pushButtonWrite", "设置成功");
        write.exchangeMs = measureExchange<DeviceWrite>(window);
        settleStepMs = measureSettleStep(window);
        small = measureFile(window, temp.filePath("params.txt"), 1);
        large = measureFile(window, temp.filePath("params-x100.txt"), kFileGrowth);
    }
    const double searchBare = measureBare(kSearchReports);
    const double readBare = measureBare(read.reports);
    const double writeBare = measureBare(write.reports);
    const StartupFigures startup = measureStartup();
    const SearchTiming bitTiming = measureBitTimingSearch();
    const CliFigures cli = measureCli(temp.filePath("cli.txt"));

    // The simulator's reader wakes from a timed wait, which the kernel may
    // defer by the thread's timer slack (50 us by default) on every report; a
    // real device's reply wakes the reader by its arrival. The same figures
    // once more with the slack of this (the GUI) thread at 1 ns.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    OperationFigures slackRead{}, slackWrite{};
    {
        BenchWindow window;
        waitForConnection(window);
        slackRead = measureOperation(window, "m_pushButtonRead", "读取成功");
        slackWrite = measureOperation(window, "m_pushButtonWrite", "设置成功");
    }
    const double slackReadBare = measureBare(slackRead.reports);
    const double slackWriteBare = measureBare(slackWrite.reports);
    hid_exit();
    const double searchFloor = kSearchReports * kLatencyMs;
    const double searchLimit = 1.5 * searchFloor + search.openMs;
    const double readFloor = read.reports * kLatencyMs;
    const double writeFloor = write.reports * kLatencyMs;
    const double tarvaneStart = median(startup.tarvane.total);
    const double minimalStart = median(startup.minimal.total);
    const double labelledStart = median(startup.labelled.total);
    const double startupRatio = tarvaneStart / minimalStart;
    const double minimalKiB = median(startup.minimal.kib);
    const double labelledKiB = median(startup.labelled.kib);
    const double memoryRatio = startup.readKiB / minimalKiB;

    const auto ms = [](double value, int decimals = 2) {
        return QString::number(value, 'f', decimals) + " ms";
    };
    const auto mib = [](double kib) { return QString::number(kib / 1024, 'f', 1) + " MiB"; };
    const auto ratio = [](double value) { return QString::number(value, 'f', 3); };
    const auto row = [](const QString& measure, const QString& measured, const QString& baseline = {},
                        const QString& r = {}, const QString& target = {}, const QString& met = {}) {
        std::printf("| %s | %s | %s | %s | %s | %s |\n", qPrintable(measure), qPrintable(measured),
                    qPrintable(baseline), qPrintable(r), qPrintable(target), qPrintable(met));
    };
    const auto floorText = [&](double floor, int reports, double bare) {
        return QString("%1 (%2 reports); simulator alone %3").arg(ms(floor, 0)).arg(reports).arg(ms(bare));
    };

    std::printf("\n| Measure | Measured | Floor / baseline | Ratio | Target | |\n");
    std::printf("|---|---:|---|---:|---|---|\n");
    row("Device search: start to `onShowName`", ms(search.toShowName),
        floorText(searchFloor, kSearchReports, searchBare) + "; open " +
            QString::number(search.openMs * 1000, 'f', 1) + " µs",
        ratio(search.toShowName / (searchFloor + search.openMs)),
        "<= 1.5 x floor + open = " + ms(searchLimit), verdict(search.toShowName <= searchLimit));
    row("Device search: start to end of `onShowName` (pages sized)", ms(search.toConnected));
    row("Read config, type 4: click to \"读取成功\" shown", ms(read.ms),
        floorText(readFloor, read.reports, readBare), ratio(read.ms / readFloor), "<= 1.10",
        verdict(read.ms <= 1.10 * readFloor));
    row("Read config: `DeviceRead::run()` alone", ms(read.exchangeMs), ms(readFloor, 0),
        ratio(read.exchangeMs / readFloor));
    row("Write config, type 4: click to \"设置成功\" shown", ms(write.ms),
        floorText(writeFloor, write.reports, writeBare), ratio(write.ms / writeFloor), "<= 1.10",
        verdict(write.ms <= 1.10 * writeFloor));
    row("Write config: `DeviceWrite::run()` alone", ms(write.exchangeMs), ms(writeFloor, 0),
        ratio(write.exchangeMs / writeFloor));
    row("Write config: disabling its button and the event-loop pass of at most 5 ms, replayed",
        ms(settleStepMs));
    row("Read config, timer slack 1 ns", ms(slackRead.ms),
        floorText(readFloor, slackRead.reports, slackReadBare), ratio(slackRead.ms / readFloor), "<= 1.10",
        verdict(slackRead.ms <= 1.10 * readFloor));
    row("Write config, timer slack 1 ns", ms(slackWrite.ms),
        floorText(writeFloor, slackWrite.reports, slackWriteBare), ratio(slackWrite.ms / writeFloor),
        "<= 1.10", verdict(slackWrite.ms <= 1.10 * writeFloor));
    const int cliReports = kSearchReports + read.reports;
    const double cliBaseline = cliReports * kLatencyMs + cli.emptyMs;
    row("`tarvane-cli read` end to end, type 4, to a file", ms(cli.readMs, 1),
        QString("%1 (%2 reports) + empty Qt command-line program %3 = %4")
            .arg(ms(cliReports * kLatencyMs, 0))
            .arg(cliReports)
            .arg(ms(cli.emptyMs, 1))
            .arg(ms(cliBaseline, 1)),
        ratio(cli.readMs / cliBaseline), "<= 1.15", verdict(cli.readMs <= 1.15 * cliBaseline));
    row("`tarvane-cli --version`: the same program without a device", ms(cli.versionMs, 1),
        "empty Qt command-line program " + ms(cli.emptyMs, 1), ratio(cli.versionMs / cli.emptyMs), "<= 1.5",
        verdict(cli.versionMs <= 1.5 * cli.emptyMs));
    row("Peak memory (max RSS) of `tarvane-cli read`", mib(cli.readKiB),
        "empty Qt command-line program " + mib(cli.emptyKiB), ratio(cli.readKiB / cli.emptyKiB), "<= 1.3",
        verdict(cli.readKiB <= 1.3 * cli.emptyKiB));
    row("Start-up to first paint: `tarvane-simulated` vs empty dialog", ms(tarvaneStart, 1),
        ms(minimalStart, 1), ratio(startupRatio), "<= 1.3", verdict(startupRatio <= 1.3));
    row("(start-up: to `QApplication` / window built / first frame)", startup.tarvane.breakdown(),
        startup.minimal.breakdown());
    row(QString("(start-up vs dialog with one label \"%1\")").arg(kLabel), ms(tarvaneStart, 1),
        ms(labelledStart, 1), ratio(tarvaneStart / labelledStart));
    row("(start-up from /proc/self/stat start time, 10 ms ticks)", ms(median(startup.tarvane.proc), 0),
        ms(median(startup.minimal.proc), 0));
    row("Peak memory (VmHWM) after a Read vs empty dialog", mib(startup.readKiB), mib(minimalKiB),
        ratio(memoryRatio), "<= 1.3", verdict(memoryRatio <= 1.3));
    row("(peak memory at first paint, no Read)", mib(median(startup.tarvane.kib)), mib(minimalKiB),
        ratio(median(startup.tarvane.kib) / minimalKiB));
    row(QString("(peak memory after a Read vs dialog with one label \"%1\")").arg(kLabel),
        mib(startup.readKiB), mib(labelledKiB), ratio(startup.readKiB / labelledKiB));
    row(QString("Open parameter file: 2 \"CANParam\" elements, %1 bytes").arg(small.bytes),
        ms(small.openMs, 3));
    row(QString("Open parameter file: 200 \"CANParam\" elements, %1 bytes").arg(large.bytes),
        ms(large.openMs, 3), "the 2-element file", QString::number(large.openMs / small.openMs, 'f', 1));
    row("Save parameter file: 2 \"CANParam\" elements", ms(small.saveMs, 3));
    row("Save parameter file: 200 \"CANParam\" elements", ms(large.saveMs, 3), "the 2-element file",
        QString::number(large.saveMs / small.saveMs, 'f', 1));
    row(QString(
            "Bit-timing search: 5 kbit/s, 87.5 %, ±2 %, every prescaler and segment value, %1 words ranked")
            .arg(bitTiming.words),
        ms(bitTiming.ms, 3), {}, {}, "< 1 ms", verdict(bitTiming.ms < 1));
    std::printf(
        "\nMedians of %d runs. Simulated repeater: a reply is readable %d ms after its report is written "
        "(one latency per write+read pair). Qt platform: %s.\n",
        kRuns, kLatencyMs, qPrintable(QGuiApplication::platformName()));
    return 0;
}
