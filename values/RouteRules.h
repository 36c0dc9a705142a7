#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <QVector>
#include <utility>

#include "ParameterSet.h"
#include "Protocol.h"

// The rules of the route map: which channels a hardware type has, the
// set-route request, the rows of the route query's reply, the "Route" array of the
// parameter file, the default map and what switching a channel off does.
// Channels are counted 0 ... 5 in the order CAN1, CAN2, Fiber1 ... Fiber4.
// For a type outside 1 ... 4 no channel is present and every rule that
// changes or encodes routes does nothing.
namespace RouteRules {

bool isKnownType(int type);
bool isPresent(int type, int channel);
// Whether the set-route frame carries the route from one present channel to
// another: a channel switched off forwards nothing, whatever its routes show.
bool isRouted(const RouteValues& route, int type, int from, int to);

// The channel's name in the current language ("CAN1" is never translated).
QString channelName(int channel);

// Command 0x27: one row byte per present channel, each bit a route to a
// present channel; a channel switched off forwards nothing.
Protocol::SetRoute request(const RouteValues& route, int type);

// The rows of the route query's reply: the routes between present
// channels; the ON/OFF switches stay as they are.
void applyReply(RouteValues& route, int type, const Protocol::RouteRows& rows);

// Six strings, one per channel, of a "0 " or "1 " per route.
QJsonArray toJson(const RouteValues& route);
// Whether a text is one such string: six digits 0 or 1, each but the last
// followed by a blank (the last blank may be missing).
bool isRowText(const QString& text);
// The inverse of toJson() for the present routes; anything but six such
// strings changes nothing and fails.
bool applyJson(RouteValues& route, int type, const QJsonArray& rows);

// Every present channel on, every route between two present channels on.
void applyDefault(RouteValues& route, int type);

// The routes a channel's ON/OFF switch governs: every route from it and to
// it between present channels. Empty for an absent channel.
QVector<std::pair<int, int>> linkedRoutes(int type, int channel);
// Switching a channel on or off: off also switches off the routes it
// governs; on leaves them as they are, to be set again.
void switchChannel(RouteValues& route, int type, int channel, bool on);

}  // namespace RouteRules
