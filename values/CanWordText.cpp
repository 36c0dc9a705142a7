#include "CanWordText.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

#include "BitTiming.h"

namespace CanCodec {

namespace {

int hexDigitValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// Decodes the text from its end, writing at most `capacity` bytes backwards
// before `end`; returns how many it made. The last byte keeps its high
// nibble as it was until a digit sets it (zero where the caller zeroed it).
int decodeHexBackwards(const QString& text, char* end, int capacity) {
    int made = 0;
    bool lowNibble = true;
    const QChar* chars = text.constData();
    for (int i = text.size() - 1; i >= 0; --i) {
        const int value = hexDigitValue(chars[i]);
        if (value < 0) continue;
        if (lowNibble) {
            if (made == capacity) break;
            *(end - ++made) = static_cast<char>(value);
        } else {
            *(end - made) = static_cast<char>(*(end - made) | (value << 4));
        }
        lowNibble = !lowNibble;
    }
    return made;
}

// The text the hex decoding reads: a bit-timing text without its prefixes.
QString digitsOf(WordText::Kind kind, const QString& text) {
    if (kind == WordText::Kind::Register) return text;
    QString digits = text;
    // A leading "0X" is the prefix too, as the field takes it.
    int at = 0;
    while (at < digits.size() && digits.at(at).isSpace()) ++at;
    if (digits.midRef(at, 2) == QLatin1String("0X")) digits.remove(at, 2);
    digits.remove(QStringLiteral("0x"), Qt::CaseSensitive);
    return digits;
}

}  // namespace

QByteArray decodeHex(const QString& text) {
    QByteArray bytes((text.size() + 1) / 2, '\0');
    const int made = decodeHexBackwards(text, bytes.data() + bytes.size(), bytes.size());
    return bytes.right(made);
}

QByteArray decodeBitTiming(const QString& text) {
    return decodeHex(digitsOf(WordText::Kind::BitTiming, text));
}

QByteArray decodeRegister(const QString& text) {
    return decodeHex(digitsOf(WordText::Kind::Register, text));
}

bool isWordText(const QString& text) {
    // White space, then "0x" or not, then eight digits among blanks and commas.
    static const QRegularExpression word(
        QStringLiteral("^\\s*(?:0[xX])?[\\s,\\x{FF0C}]*(?:[0-9A-Fa-f][\\s,\\x{FF0C}]*){8}$"),
        QRegularExpression::UseUnicodePropertiesOption);
    return word.match(text).hasMatch();
}

}  // namespace CanCodec

WordText::WordText(Kind kind, const QString& text)
    : m_text(text), m_isWord(CanCodec::isWordText(text)), m_kind(kind) {
    const QString digits = CanCodec::digitsOf(kind, text);
    CanCodec::decodeHexBackwards(digits, m_frameBytes.data() + m_frameBytes.size(), CanCodec::kWordSize);
}

QByteArray WordText::word() const {
    if (m_isWord) return QByteArray(m_frameBytes.data(), CanCodec::kWordSize);
    return bytes();
}

QByteArray WordText::bytes() const {
    return CanCodec::decodeHex(CanCodec::digitsOf(m_kind, m_text));
}

namespace CanCodec {

namespace {

bool isTimingFault(BitTiming::Problem problem) {
    return problem == BitTiming::Problem::SjwTooLong || problem == BitTiming::Problem::TooFast;
}

}  // namespace

WordProblem bitTimingProblem(const BitTimingText& text) {
    if (!text.isWord()) return WordProblem::NotAWord;
    const BitTiming::Decoded decoded = BitTiming::decode(text.word());
    if (decoded.strayBits != 0) return WordProblem::StrayBits;
    // The controller cannot keep such a word's timing; the window shows it red.
    const bool faulty = std::any_of(decoded.problems.cbegin(), decoded.problems.cend(), &isTimingFault);
    return faulty ? WordProblem::BadTiming : WordProblem::None;
}

bool canSendBitTimingText(const BitTimingText& text) {
    return bitTimingProblem(text) == WordProblem::None;
}

QString wordTextRule() {
    return QCoreApplication::translate("BitTiming", "8个十六进制数字（数字之间可有空格和逗号，可带0x）");
}

QString bitTimingProblemText(const BitTimingText& text) {
    switch (bitTimingProblem(text)) {
        case WordProblem::None:
            break;
        case WordProblem::NotAWord:
            return wordTextRule();
        case WordProblem::StrayBits:
            return BitTiming::problemText(BitTiming::Problem::StrayBits, BitTiming::decode(text.word()));
        case WordProblem::BadTiming: {
            const QByteArray word = text.word();
            const BitTiming::Decoded decoded = BitTiming::decode(word);
            QStringList reasons;
            for (BitTiming::Problem problem : decoded.problems)
                if (isTimingFault(problem)) reasons << BitTiming::problemText(problem, decoded);
            return QCoreApplication::translate("BitTiming", "%1（位定时字%2）")
                .arg(reasons.join(QCoreApplication::translate("BitTiming", "；")), tableWordText(word));
        }
    }
    return QString();
}

QString describeBitTimingText(const BitTimingText& text) {
    const QByteArray word = text.word();
    // A text that is no word but happens to decode to four bytes would
    // otherwise read as a rate.
    if (!text.isWord() && word.size() == kWordSize) return wordTextRule();
    return BitTiming::describe(word);
}

bool isBitTimingTextWrong(const BitTimingText& text) {
    return !text.isWord() || !BitTiming::decode(text.word()).problems.isEmpty();
}

QString tableWordText(const QByteArray& word) {
    return QStringLiteral("0x") + QString::fromLatin1(word.toHex().toUpper());
}

QString customWordText(const QByteArray& word) {
    return QStringLiteral("0x") + QString::fromLatin1(word.toHex());
}

QString registerText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' '));
}

}  // namespace CanCodec
