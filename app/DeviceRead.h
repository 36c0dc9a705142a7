#pragma once

#include <QByteArray>

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
};
