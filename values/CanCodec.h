#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include "BitTiming.h"
#include "CanChannelFile.h"
#include "CanWordText.h"
#include "ParameterSet.h"
#include "Protocol.h"

// The rules of a CAN channel: the baud-rate table and what choosing an entry
// or taking in a word does, the requests its values make and what its
// replies give, and what of a channel cannot be sent. Its text rules and
// file object have headers of their own, included here.
// The channel editor keeps its values in widgets and hands them here as
// CanChannelValues.
namespace CanCodec {

using FilterRow = ::FilterRow;

constexpr int kBankCount = kFilterBankCount;

// The baud-rate table: fifteen named rates, "自适应" and "自定义".
constexpr int kBaudRateCount = 17;
constexpr int kAdaptiveIndex = 15;
constexpr int kCustomIndex = 16;
constexpr int kDefaultBaudRateIndex = 1;  // "10K", not the first entry

// The entry's name in the current language: the rates are never
// translated, "自适应" and "自定义" are; empty outside the table.
QString baudRateText(int index);
// The entry's 4-byte word; empty outside the table.
QByteArray baudRateWord(int index);
// The entry whose word equals `word` exactly, or -1.
int baudRateIndexOf(const QByteArray& word);

// Choosing an entry: its word shows in upper-case hex.
void selectBaudRate(CanChannelValues& channel, int index);
// A word read from the device or a file: the entry that holds it, or
// "自定义" showing the word in lower-case hex.
void applyWord(CanChannelValues& channel, const QByteArray& word);

// The set-baud-rate request of a channel: the word its text decodes to,
// fitted to four bytes as a number would be.
Protocol::SetCanBaudRate baudRateRequest(int channelId, const BitTimingText& bitTimingText);
Protocol::SetCanBaudRate baudRateRequest(const CanChannelValues& channel);
// The set-filter request of one bank, each register the last four bytes of
// its text's hex digits.
Protocol::SetCanFilter filterRequest(int bank, int channelId, const FilterRow& row);
// The frames of the fourteen banks, in bank order.
QList<QByteArray> filterFrames(const CanChannelValues& channel);

// A bank the device reports, as its table row shows it.
FilterRow filterRow(const Protocol::FilterBank& bank);
// Applies filter replies in order, each to the bank it names, up to the
// first one that is not a filter reply.
void applyFilterReplies(CanChannelValues& channel, const QList<QByteArray>& replies);

// The two registers of a filter bank.
enum class FilterRegister { Id, Mask };

// A filter row's work mode (0 mask, 1 list) and bit width (0 16, 1 32) as the
// channel page, the planner and the comparison show them.
QString workModeText(int workMode);
QString bitWidthText(int bitWidth);

}  // namespace CanCodec

// A field of a CAN channel whose value cannot go out as it stands.
struct InvalidField {
    enum Kind { BaudRate, Register };
    Kind kind = BaudRate;
    int row = -1;                                                 // bank 0 ... 13, for a register
    CanCodec::FilterRegister reg = CanCodec::FilterRegister::Id;  // for a register
    CanCodec::WordProblem reason = CanCodec::WordProblem::NotAWord;

    bool operator==(const InvalidField& other) const {
        return kind == other.kind && row == other.row && (kind != Register || reg == other.reg);
    }
};

namespace CanCodec {

// Every field that cannot be sent as it stands, the bit-timing text first,
// then the registers in bank order, the ID before the mask.
QVector<InvalidField> invalidFields(const CanChannelValues& channel);

// Where the channel's word puts its controller in a test mode (loop-back,
// silent) that leaves the bus without its node: those problems, else none.
QVector<BitTiming::Problem> testModes(const CanChannelValues& channel);

}  // namespace CanCodec
