// Times the program against the simulated repeater and prints one table:
// device search, Read and Write config, start-up, peak memory, Open and Save
// of a parameter file, the bit-timing search and the command line's read.
// Every figure is the median of several runs.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

#include <hidapi.h>
#include <sys/prctl.h>

#include "DeviceRead.h"
#include "DeviceWrite.h"
#include "Measures.h"
#include "Probe.h"
#include "SimulatedRepeater.h"

using namespace bench;

namespace {

// Every figure of the table.
struct Figures {
    SearchFigures search{};
    OperationFigures read{}, write{};
    double settleStepMs = 0;
    FileFigures small{}, large{};
    double searchBare = 0, readBare = 0, writeBare = 0;
    StartupFigures startup;
    SearchTiming bitTiming{};
    CliFigures cli{};
    // The Read and Write again with a timer slack of 1 ns.
    OperationFigures slackRead{}, slackWrite{};
    double slackReadBare = 0, slackWriteBare = 0;
};

void measureWindow(Figures& f, const QTemporaryDir& temp) {
    BenchWindow window;
    waitForConnection(window);

    f.search = measureSearch(window);
    f.read = measureOperation(window, "m_pushButtonRead", DeviceRead::message(DeviceRead::Result::Done));
    f.read.exchangeMs = measureExchange<DeviceRead>(window);
    f.write = measureOperation(window, "m_pushButtonWrite", DeviceWrite::message(DeviceWrite::Result::Done));
    f.write.exchangeMs = measureExchange<DeviceWrite>(window);
    f.settleStepMs = measureSettleStep(window);
    f.small = measureFile(window, temp.filePath("params.txt"), 1);
    f.large = measureFile(window, temp.filePath("params-x100.txt"), kFileGrowth);
}

// The simulator's reader wakes from a timed wait, which the kernel may
// defer by the thread's timer slack (50 us by default) on every report; a
// real device's reply wakes the reader by its arrival. The same figures
// once more with the slack of this (the GUI) thread at 1 ns.
void measureWithoutSlack(Figures& f) {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    {
        BenchWindow window;
        waitForConnection(window);
        f.slackRead =
            measureOperation(window, "m_pushButtonRead", DeviceRead::message(DeviceRead::Result::Done));
        f.slackWrite =
            measureOperation(window, "m_pushButtonWrite", DeviceWrite::message(DeviceWrite::Result::Done));
    }
    f.slackReadBare = measureBare(f.slackRead.reports);
    f.slackWriteBare = measureBare(f.slackWrite.reports);
}

Figures measureAll(const QTemporaryDir& temp) {
    Figures f;
    measureWindow(f, temp);
    f.searchBare = measureBare(kSearchReports);
    f.readBare = measureBare(f.read.reports);
    f.writeBare = measureBare(f.write.reports);
    f.startup = measureStartup();
    f.bitTiming = measureBitTimingSearch();
    f.cli = measureCli(temp.filePath("cli.txt"));
    measureWithoutSlack(f);
    return f;
}

QString verdict(bool met) {
    return met ? QStringLiteral("met") : QStringLiteral("**missed**");
}

QString ms(double value, int decimals = 2) {
    return QString::number(value, 'f', decimals) + " ms";
}

QString mib(double kib) {
    return QString::number(kib / 1024, 'f', 1) + " MiB";
}

QString ratio(double value) {
    return QString::number(value, 'f', 3);
}

void row(const QString& measure, const QString& measured, const QString& baseline = {}, const QString& r = {},
         const QString& target = {}, const QString& met = {}) {
    std::printf("| %s | %s | %s | %s | %s | %s |\n", qPrintable(measure), qPrintable(measured),
                qPrintable(baseline), qPrintable(r), qPrintable(target), qPrintable(met));
}

QString floorText(double floor, int reports, double bare) {
    return QString("%1 (%2 reports); simulator alone %3").arg(ms(floor, 0)).arg(reports).arg(ms(bare));
}

// A Read or Write against its floor of one latency per report.
void operationRow(const QString& measure, const OperationFigures& op, double floor, double bare) {
    row(measure, ms(op.ms), floorText(floor, op.reports, bare), ratio(op.ms / floor), "<= 1.10",
        verdict(op.ms <= 1.10 * floor));
}

void printDeviceRows(const Figures& f) {
    const double searchFloor = kSearchReports * kLatencyMs;
    const double searchLimit = 1.5 * searchFloor + f.search.openMs;
    const double readFloor = f.read.reports * kLatencyMs;
    const double writeFloor = f.write.reports * kLatencyMs;
    row("Device search: start to `onShowName`", ms(f.search.toShowName),
        floorText(searchFloor, kSearchReports, f.searchBare) + "; open " +
            QString::number(f.search.openMs * 1000, 'f', 1) + " µs",
        ratio(f.search.toShowName / (searchFloor + f.search.openMs)),
        "<= 1.5 x floor + open = " + ms(searchLimit), verdict(f.search.toShowName <= searchLimit));
    row("Device search: start to end of `onShowName` (pages sized)", ms(f.search.toConnected));
    operationRow("Read config, type 4: click to \"读取成功\" shown", f.read, readFloor, f.readBare);
    row("Read config: `DeviceRead::run()` alone", ms(f.read.exchangeMs), ms(readFloor, 0),
        ratio(f.read.exchangeMs / readFloor));
    operationRow("Write config, type 4: click to \"设置成功\" shown", f.write, writeFloor, f.writeBare);
    row("Write config: `DeviceWrite::run()` alone", ms(f.write.exchangeMs), ms(writeFloor, 0),
        ratio(f.write.exchangeMs / writeFloor));
    row("Write config: disabling its button and the event-loop pass of at most 5 ms, replayed",
        ms(f.settleStepMs));
    operationRow("Read config, timer slack 1 ns", f.slackRead, readFloor, f.slackReadBare);
    operationRow("Write config, timer slack 1 ns", f.slackWrite, writeFloor, f.slackWriteBare);
}

void printCliRows(const Figures& f) {
    const CliFigures& cli = f.cli;
    const int cliReports = kSearchReports + f.read.reports;
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
}

void printStartupRows(const StartupFigures& startup) {
    const double tarvaneStart = median(startup.tarvane.total);
    const double minimalStart = median(startup.minimal.total);
    const double labelledStart = median(startup.labelled.total);
    const double startupRatio = tarvaneStart / minimalStart;
    const double minimalKiB = median(startup.minimal.kib);
    const double labelledKiB = median(startup.labelled.kib);
    const double memoryRatio = startup.readKiB / minimalKiB;
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
}

void printFileRows(const Figures& f) {
    row(QString("Open parameter file: 2 \"CANParam\" elements, %1 bytes").arg(f.small.bytes),
        ms(f.small.openMs, 3));
    row(QString("Open parameter file: 200 \"CANParam\" elements, %1 bytes").arg(f.large.bytes),
        ms(f.large.openMs, 3), "the 2-element file",
        QString::number(f.large.openMs / f.small.openMs, 'f', 1));
    row("Save parameter file: 2 \"CANParam\" elements", ms(f.small.saveMs, 3));
    row("Save parameter file: 200 \"CANParam\" elements", ms(f.large.saveMs, 3), "the 2-element file",
        QString::number(f.large.saveMs / f.small.saveMs, 'f', 1));
    row(QString(
            "Bit-timing search: 5 kbit/s, 87.5 %, ±2 %, every prescaler and segment value, %1 words ranked")
            .arg(f.bitTiming.words),
        ms(f.bitTiming.ms, 3), {}, {}, "< 1 ms", verdict(f.bitTiming.ms < 1));
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
    const Figures figures = measureAll(temp);
    hid_exit();

    std::printf("\n| Measure | Measured | Floor / baseline | Ratio | Target | |\n");
    std::printf("|---|---:|---|---:|---|---|\n");
    printDeviceRows(figures);
    printCliRows(figures);
    printStartupRows(figures.startup);
    printFileRows(figures);
    std::printf(
        "\nMedians of %d runs. Simulated repeater: a reply is readable %d ms after its report is written "
        "(one latency per write+read pair). Qt platform: %s.\n",
        kRuns, kLatencyMs, qPrintable(QGuiApplication::platformName()));
    return 0;
}
