#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// The text rules of a CAN channel's 4-byte words, the bit-timing word and
// each filter register: how a text decodes, when it can be sent, and how a
// word is written back as text.
namespace CanCodec {

constexpr int kWordSize = 4;  // bit-timing word and each filter register

// Qt's hex decoding of 8-bit text (QByteArray::fromHex of its Latin-1 form):
// characters that are not hex digits are skipped, digits pair from the
// right, and a first digit left over is a byte of its own. The one decoder
// of every word and register text.
QByteArray decodeHex(const QString& text);

// A bit-timing text with every "0x" and a leading "0X" removed, decoded.
QByteArray decodeBitTiming(const QString& text);

// A register text decoded: white space is skipped like any other character
// that is no hex digit.
QByteArray decodeRegister(const QString& text);

// Whether a text is the text of a 4-byte word: after an optional "0x" or
// "0X", exactly eight hex digits and nothing else but white space and commas
// (the full-width comma too, as a Chinese input method types it).
bool isWordText(const QString& text);

}  // namespace CanCodec

// A bit-timing or register text as it stands in its field, checked and
// decoded once: whether it is the text of a 4-byte word, which the Write may
// send, and the four bytes a frame takes from it. It reads as its text
// wherever a text is taken, and is made from one as a QString is.
class WordText {
public:
    enum class Kind : quint8 { BitTiming, Register };

    WordText(Kind kind, const QString& text);

    const QString& text() const { return m_text; }
    operator const QString&() const { return m_text; }
    // Whether the text is that of a 4-byte word (CanCodec::isWordText).
    bool isWord() const { return m_isWord; }
    // The four bytes a frame carries, so that every field keeps its
    // position: the last four the decoding makes, zeros in front, as a
    // number is aligned.
    const std::array<char, CanCodec::kWordSize>& frameBytes() const { return m_frameBytes; }
    // The word when the text is one; otherwise what the decoding makes of
    // the whole text, to say what is wrong.
    QByteArray word() const;
    // What the hex decoding makes of the whole text.
    QByteArray bytes() const;

    bool operator==(const WordText& other) const { return m_kind == other.m_kind && m_text == other.m_text; }
    bool operator!=(const WordText& other) const { return !(*this == other); }

private:
    QString m_text;
    std::array<char, CanCodec::kWordSize> m_frameBytes{};
    bool m_isWord = false;
    Kind m_kind;
};

// A channel's bit-timing text: "0x", and "0X" at its start, are its prefix.
class BitTimingText : public WordText {
public:
    BitTimingText(const QString& text = QString()) : WordText(Kind::BitTiming, text) {}
    BitTimingText(const char* text) : BitTimingText(QString::fromUtf8(text)) {}
};

// A filter register's text: ID or mask.
class RegisterText : public WordText {
public:
    RegisterText(const QString& text = QString()) : WordText(Kind::Register, text) {}
    RegisterText(const char* text) : RegisterText(QString::fromUtf8(text)) {}
};

namespace CanCodec {

// The bit-timing word a text stands for: the four bytes the frame carries
// when it is a word text; otherwise what the hex decoding makes of it, to
// say what is wrong.
inline QByteArray bitTimingWord(const BitTimingText& text) {
    return text.word();
}
// The four bytes a register text goes out as, once it is a word text ("0x"
// and all); otherwise what the hex decoding makes of it.
inline QByteArray registerWord(const RegisterText& text) {
    return text.word();
}

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
WordProblem bitTimingProblem(const BitTimingText& text);
bool canSendBitTimingText(const BitTimingText& text);
inline bool canSendRegisterText(const RegisterText& text) {
    return text.isWord();
}

// What a register or bit-timing text must be, when it is not: the line
// shown beside the field, over the cell and in the Write's reason, translated.
QString wordTextRule();
// Why a bit-timing text cannot be sent, translated: the rule of a word text,
// the stray bits, or the faulty timing with its word; empty when it can be sent.
QString bitTimingProblemText(const BitTimingText& text);
// The line beside the bit-timing field: what its word means, or what is
// wrong with its text or its word.
QString describeBitTimingText(const BitTimingText& text);
// Whether that line says something is wrong.
bool isBitTimingTextWrong(const BitTimingText& text);

// "0x" followed by the word in upper-case hex, as the table entries show.
QString tableWordText(const QByteArray& word);
// "0x" followed by the word in lower-case hex, as an unknown word shows.
QString customWordText(const QByteArray& word);
// Two lower-case hex digits per byte, single blanks between: "1a 00 ff 07".
QString registerText(const QByteArray& bytes);

}  // namespace CanCodec
