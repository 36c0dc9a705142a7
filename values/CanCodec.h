#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVector>

#include "BitTiming.h"
#include "ParameterSet.h"

// A field of a CAN channel whose value cannot go out as it stands.
struct InvalidField {
    enum Kind { BaudRate, Register };
    // Not the text of a 4-byte word, or a bit-timing word with bits set
    // outside every field of the controller.
    enum Reason { NotAWord, StrayBits };
    Kind kind = BaudRate;
    int row = -1;     // bank 0 ... 13, for a register
    int column = -1;  // 3 ID register, 4 mask register, as the filter table counts
    Reason reason = NotAWord;

    bool operator==(const InvalidField& other) const {
        return kind == other.kind && row == other.row && column == other.column;
    }
};

// The rules of a CAN channel: the baud-rate table, the bit-timing word, the
// set-baud-rate and set-filter frames, the replies, the channel's object in
// the parameter file, and what cannot be sent. The channel editor keeps its
// values in widgets and hands them here as CanChannelValues.
namespace CanCodec {

using FilterRow = ::FilterRow;

constexpr int kFrameSize = 17;  // HID output report, report number included
constexpr int kWordSize = 4;    // bit-timing word and each filter register
constexpr int kBankCount = kFilterBankCount;
constexpr int kReplySize = 14;  // bytes of a filter reply that are read
constexpr int kBaudRateWordOffset = 5;  // bytes 5 ... 8 of the baud-rate reply

// The baud-rate table: fifteen named rates, "自适应" and "自定义".
constexpr int kBaudRateCount = 17;
constexpr int kAdaptiveIndex = 15;
constexpr int kCustomIndex = 16;
constexpr int kDefaultBaudRateIndex = 1;  // "10K", not the first entry
constexpr int kColumnId = 3;              // the filter table's register columns
constexpr int kColumnMask = 4;

// The entry's label; entries 0 ... 14 are rates and never translated,
// 15 and 16 are source texts of the context "ChannalWidget".
const char* baudRateLabel(int index);
// The entry's 4-byte word; empty outside the table.
QByteArray baudRateWord(int index);
// The entry whose word equals `word` exactly, or -1.
int baudRateIndexOf(const QByteArray& word);

// Choosing an entry: its word shows in upper-case hex.
void selectBaudRate(CanChannelValues& channel, int index);
// A word read from the device or a file: the entry that holds it, or
// "自定义" showing the word in lower-case hex.
void applyWord(CanChannelValues& channel, const QByteArray& word);

// Qt's hex decoding of 8-bit text: non-hex characters are skipped and
// digits pair from the right.
QByteArray decodeHex(const QString& text);

// A bit-timing text with every "0x" and a leading "0X" removed, decoded.
QByteArray decodeBitTiming(const QString& text);

// A register text with all white space removed, decoded.
QByteArray decodeRegister(const QString& text);
// The four bytes a register text goes out as, once it is a word text ("0x"
// and all); otherwise what the hex decoding makes of it.
QByteArray registerWord(const QString& text);

// Brings decoded bytes to exactly kWordSize, aligned to the right as a
// number would be: missing leading bytes become zero, surplus leading bytes
// are dropped. Frames use it so that every field keeps its position.
QByteArray fitWord(const QByteArray& bytes);

// Whether a register or custom bit-timing text can be sent: after an
// optional "0x" or "0X", exactly eight hex digits and nothing else but white
// space and commas (the full-width comma too, as a Chinese input method types it).
bool isWordText(const QString& text);
// The bit-timing word a text stands for: the four bytes the frame carries
// when it is a word text; otherwise what the hex decoding makes of it, to
// say what is wrong.
QByteArray bitTimingWord(const QString& text);

// What a register or bit-timing text must be, when it is not: the line
// shown beside the field, over the cell and in the Write's reason, translated.
QString wordTextRule();
// The line beside the bit-timing field: what its word means, or what is
// wrong with its text or its word.
QString describeBitTimingText(const QString& text);
// Whether that line says something is wrong.
bool isBitTimingTextWrong(const QString& text);
// Whether the Write can send the text: a word text of a word without bits
// outside the controller's fields.
bool canSendBitTimingText(const QString& text);

// "0x" followed by the word in upper-case hex, as the table entries show.
QString tableWordText(const QByteArray& word);
// "0x" followed by the word in lower-case hex, as an unknown word shows.
QString customWordText(const QByteArray& word);

// Command 0x23 for the channel, bit-timing word taken from the text.
QByteArray baudRateFrame(int channalId, const QString& bitTimingText);
QByteArray baudRateFrame(const CanChannelValues& channel);

quint8 flagsByte(bool inUse, int channalId);
quint8 modeByte(int workMode, int bitWidth);

// Command 0x24 for one bank of the channel.
QByteArray filterFrame(int bank, int channalId, const FilterRow& row);
// The fourteen of them, in bank order.
QList<QByteArray> filterFrames(const CanChannelValues& channel);

// Reads the first 14 bytes of a filter reply. False when the reply is too
// short or its bank number lies outside 0 ... 13.
bool parseFilterReply(const QByteArray& reply, int* bank, FilterRow* row);
// Applies replies in order, each to the bank it names, up to the first one
// that is not a filter reply.
void applyFilterReplies(CanChannelValues& channel, const QList<QByteArray>& replies);

// Two lower-case hex digits per byte, single blanks between: "1a 00 ff 07".
QString registerText(const QByteArray& bytes);

// "T, M, B, ID, MASK" for the parameter file, with every comma of the
// register texts written as a blank.
QString dataListEntry(const FilterRow& row);

// Splits a "DataList" string at commas, dropping empty parts. False when it
// holds fewer than five fields. Work mode and bit width come back as read,
// so the caller decides what to do with values other than 0 and 1; the
// register texts keep the blank that follows each comma.
bool parseDataListEntry(const QString& entry, FilterRow* row);

// The channel's object of "CANParam": "ChannalID", "BaudRate", "DataList".
QJsonObject toJson(const CanChannelValues& channel);
// Applies what the object holds that can be read: the word, then each row
// whose "DataList" entry has five fields; a work mode or bit width other
// than 0 and 1 leaves that choice as it is.
void applyJson(CanChannelValues& channel, const QJsonObject& object);

// Every field that cannot be sent as it stands, the bit-timing text first,
// then the registers in row and column order.
QVector<InvalidField> invalidFields(const CanChannelValues& channel);

// Where the channel's word puts its controller in a test mode (loop-back,
// silent) that leaves the bus without its node: those problems, else none.
QVector<BitTiming::Problem> testModes(const CanChannelValues& channel);

}  // namespace CanCodec
