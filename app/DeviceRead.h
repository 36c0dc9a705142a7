#pragma once

#include <QByteArray>
#include <functional>

#include "Transaction.h"

class CANParamWidget;
class HIDDevice;
class OpticalFiberParamWidget;
class RouteParamWidget;

// Fetches the device's parameters into the pages: every CAN channel's
// bit-timing word and filter banks, then the fiber codes, then the route map.
// Stops at the first failure; what was applied before it stays applied.
class DeviceRead {
public:
    enum class Result { Done, BaudRateFailed, FilterFailed, FiberFailed, RouteFailed };

    DeviceRead(HIDDevice& device, CANParamWidget& canPage, OpticalFiberParamWidget& fiberPage,
               RouteParamWidget& routePage, int nCAN, int nFiberOptic);

    Result run();

    // Called before each query with its number, from 1, and the number of
    // queries of the whole Read, so that a caller can show how far it got.
    using Progress = std::function<void(int step, int steps)>;
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    int stepCount() const;

    // The message that reports a result, to be translated in the context "Tarvane".
    static const char* message(Result result);

private:
    bool readChannal(int i, Result* failure);
    Transaction::Result query(Protocol::Command command, unsigned char byte4);

    Transaction m_transaction;
    CANParamWidget& m_canPage;
    OpticalFiberParamWidget& m_fiberPage;
    RouteParamWidget& m_routePage;
    const int m_nCAN;
    const int m_nFiberOptic;
    // One report for the whole Read. Byte 5 is written only by the filter
    // queries, so the fiber and route queries carry the last bank number;
    // the device has always been sent them that way.
    QByteArray m_report;
    Progress m_progress;
    int m_step = 0;
};
