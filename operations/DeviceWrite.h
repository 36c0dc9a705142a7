#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVector>
#include <functional>

#include "ParameterSet.h"
#include "Transaction.h"

class HIDDevice;

// Sends a parameter set to the device: every CAN channel's baud rate and
// filter banks, the fiber codes, the route map, and finally the reset.
// Stops at the first frame that is not acknowledged. What cannot be sent as
// it stands is ParameterChecks' to find, before.
class DeviceWrite {
    Q_DECLARE_TR_FUNCTIONS(DeviceWrite)

public:
    enum class Result {
        Done,
        BaudRateFailed,
        FilterFailed,
        FiberFailed,
        RouteFailed,
        ResetNotSent,
        ResetNoAnswer,  // every parameter frame was acknowledged
        ResetFailed,
    };

    DeviceWrite(HIDDevice& device, const ParameterSet& set);

    Result run();

    // The frames run() sends for a set, in the order it sends them, the reset last.
    static QList<QByteArray> frames(const ParameterSet& set);

    // Called before each frame with its number, from 1, and the number of
    // frames of the whole Write, so that a caller can show how far it got.
    using Progress = std::function<void(int step, int steps)>;
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // The message that reports a result, translated.
    static QString message(Result result);

private:
    // A frame before the reset, and the result that reports its failure.
    struct Step {
        QByteArray frame;
        Result failure;
    };
    static QVector<Step> stepsBeforeReset(const ParameterSet& set);

    Transaction m_transaction;
    const ParameterSet& m_set;
    Progress m_progress;
};
