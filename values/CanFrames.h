#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "ParameterSet.h"

// The frames of a CAN channel: set-baud-rate (0x23) and set-filter (0x24),
// and the replies of the filter query (0xA5).
namespace CanCodec {

// Command 0x23 for the channel, bit-timing word taken from the text.
QByteArray baudRateFrame(int channalId, const BitTimingText& bitTimingText);
QByteArray baudRateFrame(const CanChannelValues& channel);

quint8 flagsByte(bool inUse, int channalId);
quint8 modeByte(int workMode, int bitWidth);

// Command 0x24 for one bank of the channel.
QByteArray filterFrame(int bank, int channalId, const FilterRow& row);
// The fourteen of them, in bank order.
QList<QByteArray> filterFrames(const CanChannelValues& channel);

// Reads the filter reply's bank, flags, mode and registers. False when the
// reply is too short or its bank number lies outside 0 ... 13.
bool parseFilterReply(const QByteArray& reply, int* bank, FilterRow* row);
// Applies replies in order, each to the bank it names, up to the first one
// that is not a filter reply.
void applyFilterReplies(CanChannelValues& channel, const QList<QByteArray>& replies);

}  // namespace CanCodec
