#pragma once

#include <QByteArray>
#include <QString>

namespace sim {

// The bench a simulated program starts with, as its environment describes
// it (docs/testing.md, "The simulated repeaters"): how many repeaters,
// or each one's card number, model, times and restart; the faults of
// each; the folder that keeps their parameters between runs.
struct BenchSettings {
    QByteArray devices;  // TARVANE_SIMULATED_DEVICES
    QByteArray cards;    // TARVANE_SIMULATED_CARDS
    QByteArray faults;   // TARVANE_SIMULATED_FAULTS
    QByteArray state;    // TARVANE_SIMULATED_STATE

    static BenchSettings fromEnvironment();
};

// Puts the bench on the bus in place of what was there; times count from
// now. A malformed value leaves the bus as it was: false, and `error` names
// the variable, the part of its value and what is wrong with it.
bool plugInBench(const BenchSettings& settings, QString* error);

}  // namespace sim
