#include "ParameterSet.h"

#include "CanCodec.h"
#include "FiberRules.h"

CanChannelValues CanChannelValues::defaults(int channelId) {
    CanChannelValues channel;
    channel.channelId = channelId;
    CanCodec::selectBaudRate(channel, CanCodec::kDefaultBaudRateIndex);
    channel.banks[0].inUse = true;
    return channel;
}

FiberValues FiberValues::defaults() {
    FiberValues fiber;
    fiber.codes.fill(FiberRules::kDefaultCode);
    return fiber;
}

RouteValues RouteValues::defaults() {
    RouteValues route;
    route.on.fill(true);
    for (int from = 0; from < kRouteChannelCount; ++from)
        for (int to = 0; to < kRouteChannelCount; ++to) route.routes[size_t(from)][size_t(to)] = from != to;
    return route;
}

ParameterSet ParameterSet::defaults(int canCount, int fiberCount, int routeType) {
    ParameterSet set;
    set.canCount = qBound(0, canCount, kCanChannelMax);
    set.fiberCount = qBound(0, fiberCount, kFiberChannelMax);
    set.routeType = routeType;
    for (int i = 0; i < set.canCount; ++i) set.can.append(CanChannelValues::defaults(i + 1));
    set.fiber = FiberValues::defaults();
    set.route = RouteValues::defaults();
    return set;
}
