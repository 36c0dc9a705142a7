// Times the filter planner on the largest requests it is meant for, each the
// median of several runs, and prints what it found: the banks of the plan,
// those an exact plan takes (or at least takes) and whether that is proven.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "FilterPlanner.h"

namespace {

using FilterPlanner::Request;

constexpr int kRuns = 5;

struct Case {
    const char* name;
    QVector<Request> requests;
    int firstBank = 0;
};

QVector<Request> everyStandardIdentifier(QRandomGenerator& random) {
    QVector<Request> requests;
    for (quint32 id = 0; id <= FilterBanks::kMaxStandardId; ++id)
        requests << Request{id, id, false, 1 + int(random.bounded(3))};
    return requests;
}

QVector<Request> scatteredStandard(QRandomGenerator& random, quint32 first, quint32 count, int percent) {
    QVector<Request> requests;
    for (quint32 id = first; id < first + count; ++id)
        if (int(random.bounded(100u)) < percent) requests << Request{id, id, false, FilterBanks::DataFrames};
    return requests;
}

QVector<Request> extendedRanges(QRandomGenerator& random, int count) {
    QVector<Request> requests;
    for (int i = 0; i < count; ++i) {
        const quint32 first = random.bounded(FilterBanks::kMaxExtendedId - 0xFFFF);
        requests << Request{first, first + random.bounded(0x10000u), true, FilterBanks::DataFrames};
    }
    return requests;
}

void measure(const Case& c) {
    // On a busy machine the time on the clock is longer than the processor's.
    std::vector<double> times, processor;
    FilterPlanner::Plan plan;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t started = std::clock();
        plan = FilterPlanner::plan(c.requests, {c.firstBank, true});
        processor.push_back(double(std::clock() - started) * 1000 / CLOCKS_PER_SEC);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::sort(processor.begin(), processor.end());
    const quint64 extra = plan.extraData.standard + plan.extraData.extended + plan.extraRemote.standard +
                          plan.extraRemote.extended;
    const QString exact =
        plan.exactProven()
            ? QStringLiteral("%1, proven").arg(plan.exactBanks)
            : QStringLiteral("%1 found, at least %2").arg(plan.exactBanks).arg(plan.exactAtLeast);
    std::printf("| %s | %.1f ms | %.1f ms | %d | %s | %llu%s |\n", c.name, times[kRuns / 2],
                processor[kRuns / 2], int(plan.rows.size()), qPrintable(exact),
                static_cast<unsigned long long>(extra),
                extra ? (plan.extrasProven ? ", proven" : ", the fewest found") : "");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QRandomGenerator random(39);
    // A request whose search runs to its end without a proof.
    QRandomGenerator seeded(4);
    const QVector<Case> cases{
        {"0x101-0x1FE", {Request{0x101, 0x1FE, false, FilterBanks::DataFrames}}},
        {"0x001-0x7FE, data and remote frames", {Request{0x001, 0x7FE, false, FilterBanks::DataAndRemote}}},
        {"2,048 standard identifiers, each data, remote or both at random", everyStandardIdentifier(random)},
        {"1,024 scattered standard identifiers (each of 0x000-0x7FF with 1 in 2)",
         scatteredStandard(random, 0, 2048, 50)},
        {"226 of 0x300-0x3FF at random: the search's whole length",
         scatteredStandard(seeded, 0x300, 256, 85)},
        {"0x18FE0101-0x18FF01FE ext: a large range off its blocks",
         {Request{0x18FE0101, 0x18FF01FE, true, FilterBanks::DataFrames}}},
        {"0x00000001-0x1FFFFFFE ext, data and remote frames",
         {Request{0x00000001, 0x1FFFFFFE, true, FilterBanks::DataAndRemote}}},
        {"5,000 extended ranges of up to 65,536 identifiers", extendedRanges(random, 5000)},
        {"8,000 extended ranges (filters --plan -)", extendedRanges(random, 8000)},
        {"0x001-0x7FE in bank 14: every pair of masks",
         {Request{0x001, 0x7FE, false, FilterBanks::DataFrames}},
         13},
    };
    std::printf(
        "| Request | Time | Processor | Banks | Exact plan | Other frames |\n|---|---:|---:|---:|---|---|\n");
    for (const Case& c : cases) measure(c);
    std::printf("\nMedians of %d runs.\n", kRuns);
    return 0;
}
