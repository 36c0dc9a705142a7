#pragma once

#include <QString>
#include <QVector>
#include <array>

#include "CanWordText.h"
#include "Protocol.h"

// The repeater's parameters as plain values, in the form the pages show
// them: a text as it stands in its field (with what it decodes to), a
// choice as the entry chosen.
// A ParameterSet is a snapshot that one operation carries (a Read fills one,
// a Write sends one, Open changes one, a comparison takes two); it is not a
// model that anything observes. The pages stay the window's store of values.

constexpr int kCanChannelMax = 3;  // channel editors the CAN page keeps
constexpr int kFilterBankCount = Protocol::FilterBankCount;
constexpr int kFiberChannelMax = Protocol::FiberChannelCount;
constexpr int kRouteChannelCount = Protocol::RouteChannelCount;  // CAN1, CAN2, Fiber1 ... Fiber4

// One acceptance-filter bank as its table row shows it.
struct FilterRow {
    bool inUse = false;
    int workMode = 0;  // 0 mask mode, 1 list mode
    int bitWidth = 1;  // 0 for 16 bits, 1 for 32 bits
    RegisterText idText = QStringLiteral("00 00 00 00");
    RegisterText maskText = QStringLiteral("00 00 00 00");

    bool operator==(const FilterRow& other) const {
        return inUse == other.inUse && workMode == other.workMode && bitWidth == other.bitWidth &&
               idText == other.idText && maskText == other.maskText;
    }
    bool operator!=(const FilterRow& other) const { return !(*this == other); }
};

// One CAN channel: the baud-rate entry and the bit-timing text exactly as
// shown, and its fourteen filter banks.
struct CanChannelValues {
    int channelId = 1;
    int baudRateIndex = 1;  // entry of the baud-rate table; -1: none
    BitTimingText bitTimingText;
    std::array<FilterRow, kFilterBankCount> banks;

    // "10K", bank 0 in use, the other banks not, mask mode, 32 bits, zeros.
    static CanChannelValues defaults(int channelId);

    bool operator==(const CanChannelValues& other) const {
        return channelId == other.channelId && baudRateIndex == other.baudRateIndex &&
               bitTimingText == other.bitTimingText && banks == other.banks;
    }
    bool operator!=(const CanChannelValues& other) const { return !(*this == other); }
};

// The baud-rate code of each fiber channel, 1 ... 12; 0 where the selector
// has no entry.
struct FiberValues {
    static constexpr int kNoEntry = 0;
    std::array<int, kFiberChannelMax> codes{};

    // 0x0b ("1380K") on every channel.
    static FiberValues defaults();

    bool operator==(const FiberValues& other) const { return codes == other.codes; }
    bool operator!=(const FiberValues& other) const { return !(*this == other); }
};

// The route map: which channels are switched on, and which route from one
// channel to another is enabled. Indexed in the order CAN1, CAN2, Fiber1 ...
// Fiber4; a channel's route to itself is always off.
struct RouteValues {
    std::array<bool, kRouteChannelCount> on{};
    std::array<std::array<bool, kRouteChannelCount>, kRouteChannelCount> routes{};  // [from][to]

    // Every channel on, every route between two channels enabled.
    static RouteValues defaults();

    bool operator==(const RouteValues& other) const { return on == other.on && routes == other.routes; }
    bool operator!=(const RouteValues& other) const { return !(*this == other); }
};

// Everything one device is configured with: its channel counts, the route
// type its hardware type stands for, and the values of each part.
struct ParameterSet {
    int canCount = 0;
    int fiberCount = 0;
    int routeType = 1;
    QVector<CanChannelValues> can;  // channels 1 ... canCount
    FiberValues fiber;
    RouteValues route;

    // The defaults of a device with these counts (clamped to what the
    // pages can show) and this route type.
    static ParameterSet defaults(int canCount, int fiberCount, int routeType);

    bool operator==(const ParameterSet& other) const {
        return canCount == other.canCount && fiberCount == other.fiberCount && routeType == other.routeType &&
               can == other.can && fiber == other.fiber && route == other.route;
    }
    bool operator!=(const ParameterSet& other) const { return !(*this == other); }
};
