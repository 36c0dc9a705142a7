// The measurements of programs started on their own: the start-up of the
// window and of its baselines, and the command line.
#include <QCoreApplication>
#include <QProcess>

#include "Measures.h"
#include "Probe.h"

namespace bench {

const char* const kLabel = "读配置";

void ChildFigures::add(const QMap<QString, QString>& v, qint64 startNs) {
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

QString ChildFigures::breakdown() const {
    return QString::asprintf("%.1f / %.1f / %.1f ms", median(toApp), median(build), median(firstFrame));
}

namespace {

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

struct ProcessRun {
    double ms;
    double maxRssKiB;
};

// Start to end of a child program and its peak resident set, through the
// small program that starts it; its output is kept out of the table. Every
// program measured is started this one way.
ProcessRun spawnToEnd(const QString& program, const QStringList& args) {
    qint64 start = 0;
    const auto values = runChild(QCoreApplication::applicationDirPath() + "/tarvane-measure-process",
                                 QStringList{program} + args, &start);
    return {values.value("ms").toDouble(), values.value("maxrss_kib").toDouble()};
}

}  // namespace

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

}  // namespace bench
