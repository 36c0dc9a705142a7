#include "CanWordText.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include "BitTiming.h"

namespace CanCodec {

QByteArray decodeHex(const QString& text) {
    return QByteArray::fromHex(text.toLatin1());
}

QByteArray decodeBitTiming(const QString& text) {
    QString digits = text;
    // A leading "0X" is the prefix too, as the field takes it.
    int at = 0;
    while (at < digits.size() && digits.at(at).isSpace()) ++at;
    if (digits.midRef(at, 2) == QLatin1String("0X")) digits.remove(at, 2);
    digits.remove(QStringLiteral("0x"), Qt::CaseSensitive);
    return decodeHex(digits);
}

QByteArray decodeRegister(const QString& text) {
    // White space is no hex digit: the decoding skips it like any other.
    return decodeHex(text);
}

QByteArray registerWord(const QString& text) {
    const QByteArray bytes = decodeRegister(text);
    return isWordText(text) ? fitWord(bytes) : bytes;
}

QByteArray fitWord(const QByteArray& bytes) {
    if (bytes.size() >= kWordSize) return bytes.right(kWordSize);
    return QByteArray(kWordSize - bytes.size(), '\0') + bytes;
}

bool isWordText(const QString& text) {
    // White space, then "0x" or not, then eight digits among blanks and commas.
    static const QRegularExpression word(
        QStringLiteral("^\\s*(?:0[xX])?[\\s,\\x{FF0C}]*(?:[0-9A-Fa-f][\\s,\\x{FF0C}]*){8}$"),
        QRegularExpression::UseUnicodePropertiesOption);
    return word.match(text).hasMatch();
}

QByteArray bitTimingWord(const QString& text) {
    // A word text decodes as the frame takes it, whatever its prefix.
    const QByteArray bytes = decodeBitTiming(text);
    return isWordText(text) ? fitWord(bytes) : bytes;
}

WordProblem bitTimingProblem(const QString& text) {
    if (!isWordText(text)) return WordProblem::NotAWord;
    return BitTiming::decode(bitTimingWord(text)).strayBits != 0 ? WordProblem::StrayBits : WordProblem::None;
}

bool canSendBitTimingText(const QString& text) {
    return bitTimingProblem(text) == WordProblem::None;
}

bool canSendRegisterText(const QString& text) {
    return isWordText(text);
}

QString wordTextRule() {
    return QCoreApplication::translate("BitTiming", "8个十六进制数字（数字之间可有空格和逗号，可带0x）");
}

QString bitTimingProblemText(const QString& text) {
    switch (bitTimingProblem(text)) {
        case WordProblem::None:
            break;
        case WordProblem::NotAWord:
            return wordTextRule();
        case WordProblem::StrayBits:
            return BitTiming::problemText(BitTiming::Problem::StrayBits,
                                          BitTiming::decode(bitTimingWord(text)));
    }
    return QString();
}

QString describeBitTimingText(const QString& text) {
    const QByteArray word = bitTimingWord(text);
    // A text that is no word but happens to decode to four bytes would
    // otherwise read as a rate.
    if (!isWordText(text) && word.size() == kWordSize) return wordTextRule();
    return BitTiming::describe(word);
}

bool isBitTimingTextWrong(const QString& text) {
    return !isWordText(text) || !BitTiming::decode(bitTimingWord(text)).problems.isEmpty();
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
