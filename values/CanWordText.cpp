#include "CanWordText.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

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

namespace {

bool isTimingFault(BitTiming::Problem problem) {
    return problem == BitTiming::Problem::SjwTooLong || problem == BitTiming::Problem::TooFast;
}

}  // namespace

WordProblem bitTimingProblem(const QString& text) {
    if (!isWordText(text)) return WordProblem::NotAWord;
    const BitTiming::Decoded decoded = BitTiming::decode(bitTimingWord(text));
    if (decoded.strayBits != 0) return WordProblem::StrayBits;
    // The controller cannot keep such a word's timing; the window shows it red.
    const bool faulty = std::any_of(decoded.problems.cbegin(), decoded.problems.cend(), &isTimingFault);
    return faulty ? WordProblem::BadTiming : WordProblem::None;
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
        case WordProblem::BadTiming: {
            const QByteArray word = bitTimingWord(text);
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
