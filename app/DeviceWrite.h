#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "Transaction.h"

class CANParamWidget;
class HIDDevice;
class OpticalFiberParamWidget;
class RouteParamWidget;

// Sends what the pages show to the device: every CAN channel's baud rate
// and filter banks, the fiber codes, the route map, and finally the reset.
// Stops at the first frame that is not acknowledged.
class DeviceWrite {
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

    DeviceWrite(HIDDevice& device, CANParamWidget& canPage, OpticalFiberParamWidget& fiberPage,
                RouteParamWidget& routePage, int nCAN, int nFiberOptic);

    // What would not reach the device as shown, one translated line per
    // field: a bit-timing or register text that is not four bytes, a fiber
    // channel without a baud rate. Empty when everything can be sent.
    QStringList problems() const;
    // The whole message for problems(), with at most a handful of lines.
    static QString problemMessage(const QStringList& problems);

    Result run();

    // The frames run() sends, in the order it sends them, the reset last.
    QList<QByteArray> frames() const;

    // Called before each frame with its number, from 1, and the number of
    // frames of the whole Write, so that a caller can show how far it got.
    using Progress = std::function<void(int step, int steps)>;
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // The message that reports a result, to be translated in the context "Tarvane".
    static const char* message(Result result);

    // Command 0x25: the codes of fiber channels 0 ... n-1 at bytes 5 ... 8, a
    // zero for every absent channel and for one without a code, so that no
    // code moves into another channel's byte.
    QByteArray fiberFrame() const;

private:
    // A frame before the reset, and the result that reports its failure.
    struct Step {
        QByteArray frame;
        Result failure;
    };
    QVector<Step> stepsBeforeReset() const;

    Transaction m_transaction;
    CANParamWidget& m_canPage;
    OpticalFiberParamWidget& m_fiberPage;
    RouteParamWidget& m_routePage;
    const int m_nCAN;
    const int m_nFiberOptic;
    Progress m_progress;
};
