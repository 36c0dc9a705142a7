// `tarvane-cli write --all --verify` against 1, 4 and 8 simulated repeaters,
// each run a process of its own started by tarvane-measure-process; prints
// one table. The simulated repeaters answer 1 ms after each report and stay
// on the bus through their reset, so --verify reads each one 2 s after it.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRuns = 11;

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::exit(1);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from the program's start to its end, with this many repeaters.
double run(int repeaters, const QStringList& args) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TARVANE_SIMULATED_DEVICES", QString::number(repeaters));
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationDirPath() + "/tarvane-measure-process",
                  QStringList{QString::fromLocal8Bit(TARVANE_CLI_SIMULATED)} + args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        fail("this failed: tarvane-cli-simulated " + args.join(' '));
    const QString out = QString::fromLatin1(process.readAllStandardOutput());
    return out.section("ms=", 1).section(' ', 0, 0).toDouble();
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const QString golden = temp.filePath("golden.txt");
    run(1, {"read", "-o", golden});
    const int counts[] = {1, 4, 8};
    std::printf("Running (%d runs per figure) ...\n", kRuns);
    std::fflush(stdout);
    struct Row {
        const char* what;
        QStringList args;
        double ms[3];
    } rows[] = {{"`write --all --verify`", {"write", golden, "--all", "--verify"}, {}},
                {"`write --all` (no wait)", {"write", golden, "--all"}, {}},
                {"`read --all -o DIR`", {"read", "--all", "-o", temp.path()}, {}}};
    for (Row& row : rows) {
        for (int i = 0; i < 3; ++i) {
            run(counts[i], row.args);  // a warm file cache for every run measured
            std::vector<double> ms;
            for (int r = 0; r < kRuns; ++r) ms.push_back(run(counts[i], row.args));
            row.ms[i] = median(ms);
        }
    }
    std::printf("\n| Command | 1 repeater | 4 repeaters | 8 repeaters | 8 vs 1 | Target | |\n");
    std::printf("|---|---:|---:|---:|---:|---|---|\n");
    for (const Row& row : rows) {
        const double ratio = row.ms[2] / row.ms[0];
        const bool target = &row == &rows[0];
        std::printf("| %s | %.0f ms | %.0f ms | %.0f ms | %.2f | %s | %s |\n", row.what, row.ms[0], row.ms[1],
                    row.ms[2], ratio, target ? "<= 1.3" : "",
                    target ? (ratio <= 1.3 ? "met" : "**missed**") : "");
    }
    std::printf("\nMedians of %d runs, each a process of its own, start to end.\n", kRuns);
    return 0;
}
