#pragma once

#include <QByteArray>
#include <QString>

// Byte-level rules of a CAN channel: the bit-timing word, the set-baud-rate
// and set-filter frames, the filter replies and the "DataList" strings.
// The channel editor keeps its values in widgets and hands them here.
namespace CanCodec {

constexpr int kFrameSize = 17;  // HID output report, report number included
constexpr int kWordSize = 4;    // bit-timing word and each filter register
constexpr int kBankCount = 14;  // acceptance-filter banks per channel
constexpr int kReplySize = 14;  // bytes of a filter reply that are read

// One filter bank as the table shows it.
struct FilterRow {
    bool inUse = false;
    int workMode = 0;  // 0 mask mode, 1 list mode
    int bitWidth = 1;  // 0 for 16 bits, 1 for 32 bits
    QString idText;
    QString maskText;
};

// Qt's hex decoding of 8-bit text: non-hex characters are skipped and
// digits pair from the right.
QByteArray decodeHex(const QString& text);

// A bit-timing text with every "0x" (lower-case x only) removed, decoded.
QByteArray decodeBitTiming(const QString& text);

// A register text with all white space removed, decoded.
QByteArray decodeRegister(const QString& text);

// Brings decoded bytes to exactly kWordSize, aligned to the right as a
// number would be: missing leading bytes become zero, surplus leading bytes
// are dropped. Frames use it so that every field keeps its position.
QByteArray fitWord(const QByteArray& bytes);

// "0x" followed by the word in upper-case hex, as the table entries show.
QString tableWordText(const QByteArray& word);
// "0x" followed by the word in lower-case hex, as an unknown word shows.
QString customWordText(const QByteArray& word);

// Command 0x23 for the channel, bit-timing word taken from the text.
QByteArray baudRateFrame(int channalId, const QString& bitTimingText);

quint8 flagsByte(bool inUse, int channalId);
quint8 modeByte(int workMode, int bitWidth);

// Command 0x24 for one bank of the channel.
QByteArray filterFrame(int bank, int channalId, const FilterRow& row);

// Reads the first 14 bytes of a filter reply. False when the reply is too
// short or its bank number lies outside 0 ... 13.
bool parseFilterReply(const QByteArray& reply, int* bank, FilterRow* row);

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

}  // namespace CanCodec
