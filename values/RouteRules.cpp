#include "RouteRules.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include "HardwareModel.h"
#include "Protocol.h"

namespace RouteRules {

namespace {

// Each channel's name.
struct Channel {
    const char* name;
    bool translated;
};

constexpr Channel kChannels[kRouteChannelCount] = {
    {"CAN1", false},
    {"CAN2", false},
    {QT_TRANSLATE_NOOP("RouteRules", "光纤1"), true},
    {QT_TRANSLATE_NOOP("RouteRules", "光纤2"), true},
    {QT_TRANSLATE_NOOP("RouteRules", "光纤3"), true},
    {QT_TRANSLATE_NOOP("RouteRules", "光纤4"), true},
};
constexpr int kCanChannels = 2;  // CAN1 and CAN2 come first, the fibers after them

bool validChannel(int channel) {
    return channel >= 0 && channel < kRouteChannelCount;
}

}  // namespace

bool isKnownType(int type) {
    return routeModel(type) != nullptr;
}

bool isPresent(int type, int channel) {
    const HardwareModel* model = routeModel(type);
    if (model == nullptr || !validChannel(channel)) return false;
    return channel < kCanChannels ? channel < model->nCAN : channel - kCanChannels < model->nFiberOptic;
}

bool isRouted(const RouteValues& route, int type, int from, int to) {
    return from != to && isPresent(type, from) && isPresent(type, to) && route.on[size_t(from)] &&
           route.routes[size_t(from)][size_t(to)];
}

QString channelName(int channel) {
    if (!validChannel(channel)) return QString();
    return kChannels[channel].translated ? QCoreApplication::translate("RouteRules", kChannels[channel].name)
                                         : QString::fromLatin1(kChannels[channel].name);
}

Protocol::SetRoute request(const RouteValues& route, int type) {
    Protocol::SetRoute request;
    for (int r = 0; r < kRouteChannelCount; ++r) {
        if (!isPresent(type, r)) continue;
        unsigned value = 0;
        for (int c = 0; c < kRouteChannelCount; ++c)
            if (isRouted(route, type, r, c)) value |= 1u << Protocol::RouteBits[c];
        request.rows[size_t(r)] = quint8(value);
    }
    return request;
}

void applyReply(RouteValues& route, int type, const Protocol::RouteRows& rows) {
    for (int r = 0; r < kRouteChannelCount; ++r) {
        if (!isPresent(type, r)) continue;
        const unsigned value = rows[size_t(r)];
        for (int c = 0; c < kRouteChannelCount; ++c)
            if (c != r && isPresent(type, c))
                route.routes[size_t(r)][size_t(c)] = (value >> Protocol::RouteBits[c]) & 1u;
    }
}

QJsonArray toJson(const RouteValues& route) {
    QJsonArray rows;
    for (int r = 0; r < kRouteChannelCount; ++r) {
        QString text;
        for (int c = 0; c < kRouteChannelCount; ++c)
            text += route.routes[size_t(r)][size_t(c)] ? QStringLiteral("1 ") : QStringLiteral("0 ");
        rows.append(text);
    }
    return rows;
}

bool isRowText(const QString& text) {
    static const QRegularExpression kRowPattern(QStringLiteral("^([01] ){5}[01] ?$"));
    return kRowPattern.match(text).hasMatch();
}

bool applyJson(RouteValues& route, int type, const QJsonArray& rows) {
    if (rows.size() != kRouteChannelCount) return false;
    for (const QJsonValue& value : rows)
        if (!value.isString() || !isRowText(value.toString())) return false;

    for (int r = 0; r < kRouteChannelCount; ++r) {
        if (!isPresent(type, r)) continue;
        const QString text = rows.at(r).toString();
        for (int c = 0; c < kRouteChannelCount; ++c)
            if (c != r && isPresent(type, c))
                route.routes[size_t(r)][size_t(c)] = text.at(2 * c) == QLatin1Char('1');
    }
    return true;
}

void applyDefault(RouteValues& route, int type) {
    const RouteValues defaults = RouteValues::defaults();
    for (int r = 0; r < kRouteChannelCount; ++r) {
        if (!isPresent(type, r)) continue;
        route.on[size_t(r)] = defaults.on[size_t(r)];
        for (int c = 0; c < kRouteChannelCount; ++c)
            if (c != r && isPresent(type, c))
                route.routes[size_t(r)][size_t(c)] = defaults.routes[size_t(r)][size_t(c)];
    }
}

QVector<std::pair<int, int>> linkedRoutes(int type, int channel) {
    QVector<std::pair<int, int>> routes;
    if (!isPresent(type, channel)) return routes;
    for (int c = 0; c < kRouteChannelCount; ++c)
        if (c != channel && isPresent(type, c)) routes.append({channel, c});
    for (int r = 0; r < kRouteChannelCount; ++r)
        if (r != channel && isPresent(type, r)) routes.append({r, channel});
    return routes;
}

void switchChannel(RouteValues& route, int type, int channel, bool on) {
    if (!validChannel(channel)) return;
    route.on[size_t(channel)] = on;
    if (on) return;  // routes cut while the channel was off stay off until set again
    for (const auto& [from, to] : linkedRoutes(type, channel)) route.routes[size_t(from)][size_t(to)] = false;
}

}  // namespace RouteRules
