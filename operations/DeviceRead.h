#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <functional>

#include "ParameterSet.h"
#include "Transaction.h"

class HIDDevice;

// Fetches the device's parameters into a set: every CAN channel's bit-timing
// word and filter banks, then the fiber codes, then the route map. Stops at
// the first failure; what was read before it stays in the set, a channel's
// word as soon as it is in, its banks once all fourteen are.
class DeviceRead {
    Q_DECLARE_TR_FUNCTIONS(DeviceRead)

public:
    enum class Result { Done, BaudRateFailed, FilterFailed, FiberFailed, RouteFailed };

    // `set` gives the channel counts and route type, and receives what is read.
    DeviceRead(HIDDevice& device, ParameterSet& set);

    Result run();

    // Called before each query with its number, from 1, and the number of
    // queries of the whole Read, so that a caller can show how far it got.
    using Progress = std::function<void(int step, int steps)>;
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    int stepCount() const;

    // The message that reports a result, translated.
    static QString message(Result result);

private:
    bool readChannal(int i, Result* failure);
    // Sends one query; on success its reply is the transaction's.
    bool query(const QByteArray& frame);

    Transaction m_transaction;
    ParameterSet& m_set;
    int m_lastBank = 0;  // of the last filter query, which the later queries repeat
    Progress m_progress;
    int m_step = 0;
};
