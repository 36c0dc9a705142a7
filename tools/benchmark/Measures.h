#pragma once

#include <QMap>
#include <QPushButton>
#include <QString>
#include <vector>

#include "Tarvane.h"

// The benchmark's measurements: those of the window in this process
// (WindowMeasures.cpp) and those of programs it starts (ProcessMeasures.cpp).
namespace bench {

constexpr int kRuns = 11;
constexpr int kLatencyMs = 1;
constexpr int kSearchReports = 4;
constexpr int kFileGrowth = 100;

// A text the main window shows, for the baseline that draws text.
extern const char* const kLabel;

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

[[noreturn]] void fail(const char* what);
double median(std::vector<double> values);

struct SearchFigures {
    double toShowName;
    double toConnected;
    double openMs;
};

struct OperationFigures {
    double ms;
    int reports;
    double exchangeMs;  // DeviceRead::run() or DeviceWrite::run() alone
};

struct FileFigures {
    double openMs;
    double saveMs;
    qint64 bytes;
};

struct SearchTiming {
    double ms;
    int words;
};

// The medians of a child program's figures over the runs.
struct ChildFigures {
    std::vector<double> total, toApp, build, firstFrame, proc, kib;

    void add(const QMap<QString, QString>& v, qint64 startNs);
    QString breakdown() const;
};

struct StartupFigures {
    ChildFigures tarvane, minimal, labelled;
    double readKiB;
};

struct CliFigures {
    double readMs;     // tarvane-cli read, start to end of the process
    double versionMs;  // tarvane-cli --version: its start and end without a device
    double emptyMs;    // an empty Qt command-line program
    double readKiB;    // peak resident set of tarvane-cli read
    double emptyKiB;   // and of the empty program
};

// In this process.
void waitForConnection(BenchWindow& window);
double measureBare(int reports);
SearchFigures measureSearch(BenchWindow& window);
template <typename Operation>
double measureExchange(BenchWindow& window);
OperationFigures measureOperation(BenchWindow& window, const char* button, const QString& expected);
double measureSettleStep(BenchWindow& window);
FileFigures measureFile(BenchWindow& window, const QString& path, int growth);
SearchTiming measureBitTimingSearch();

// In programs of their own.
StartupFigures measureStartup();
CliFigures measureCli(const QString& file);

}  // namespace bench
