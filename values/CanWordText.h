#pragma once

#include <QByteArray>
#include <QString>

// The text rules of a CAN channel's 4-byte words, the bit-timing word and
// each filter register: how a text decodes, when it can be sent, and how a
// word is written back as text.
namespace CanCodec {

constexpr int kWordSize = 4;  // bit-timing word and each filter register

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

// Whether a text is the text of a 4-byte word: after an optional "0x" or
// "0X", exactly eight hex digits and nothing else but white space and commas
// (the full-width comma too, as a Chinese input method types it).
bool isWordText(const QString& text);
// The bit-timing word a text stands for: the four bytes the frame carries
// when it is a word text; otherwise what the hex decoding makes of it, to
// say what is wrong.
QByteArray bitTimingWord(const QString& text);

// Why a bit-timing text cannot be sent as it stands.
enum class WordProblem {
    None,
    NotAWord,   // not the text of a 4-byte word
    StrayBits,  // a word with bits set outside every field of the controller
    BadTiming,  // a word its decoding calls faulty: an SJW longer than a segment, a rate above CAN's
};

// The one rule of what can be sent, for the red cells and fields, the
// Write's checks, Open's report and the command line alike: a bit-timing
// text must be a word text whose word sets no stray bit and whose timing
// the controller can keep, a register text a word text.
WordProblem bitTimingProblem(const QString& text);
bool canSendBitTimingText(const QString& text);
bool canSendRegisterText(const QString& text);

// What a register or bit-timing text must be, when it is not: the line
// shown beside the field, over the cell and in the Write's reason, translated.
QString wordTextRule();
// Why a bit-timing text cannot be sent, translated: the rule of a word text,
// the stray bits, or the faulty timing with its word; empty when it can be sent.
QString bitTimingProblemText(const QString& text);
// The line beside the bit-timing field: what its word means, or what is
// wrong with its text or its word.
QString describeBitTimingText(const QString& text);
// Whether that line says something is wrong.
bool isBitTimingTextWrong(const QString& text);

// "0x" followed by the word in upper-case hex, as the table entries show.
QString tableWordText(const QByteArray& word);
// "0x" followed by the word in lower-case hex, as an unknown word shows.
QString customWordText(const QByteArray& word);
// Two lower-case hex digits per byte, single blanks between: "1a 00 ff 07".
QString registerText(const QByteArray& bytes);

}  // namespace CanCodec
