#include "CanCodec.h"

#include <QRegularExpression>
#include <QStringList>

namespace CanCodec {

QByteArray decodeHex(const QString& text) {
    return QByteArray::fromHex(text.toLatin1());
}

QByteArray decodeBitTiming(const QString& text) {
    QString digits = text;
    digits.remove(QStringLiteral("0x"), Qt::CaseSensitive);
    return decodeHex(digits);
}

QByteArray decodeRegister(const QString& text) {
    static const QRegularExpression whiteSpace(QStringLiteral("\\s"));
    QString digits = text;
    digits.remove(whiteSpace);
    return decodeHex(digits);
}

QByteArray fitWord(const QByteArray& bytes) {
    if (bytes.size() >= kWordSize) return bytes.right(kWordSize);
    return QByteArray(kWordSize - bytes.size(), '\0') + bytes;
}

QString tableWordText(const QByteArray& word) {
    return QStringLiteral("0x") + QString::fromLatin1(word.toHex().toUpper());
}

QString customWordText(const QByteArray& word) {
    return QStringLiteral("0x") + QString::fromLatin1(word.toHex());
}

QByteArray baudRateFrame(int channalId, const QString& bitTimingText) {
    QByteArray frame = QByteArray::fromHex("0012230600");
    frame.append(static_cast<char>(channalId & 0xFF));
    frame.append(fitWord(decodeBitTiming(bitTimingText)));
    frame.append(QByteArray::fromHex("00000000000000"));
    return frame;
}

quint8 flagsByte(bool inUse, int channalId) {
    quint8 flags = static_cast<quint8>(channalId & 0x0F);
    if (inUse) flags |= 0x80;
    return flags;
}

quint8 modeByte(int workMode, int bitWidth) {
    quint8 mode = 0;
    if (workMode != 0) mode |= 0x10;
    if (bitWidth != 0) mode |= 0x01;
    return mode;
}

QByteArray filterFrame(int bank, int channalId, const FilterRow& row) {
    QByteArray frame = QByteArray::fromHex("0012240b");
    frame.append(static_cast<char>(bank & 0xFF));
    frame.append(static_cast<char>(flagsByte(row.inUse, channalId)));
    frame.append(static_cast<char>(modeByte(row.workMode, row.bitWidth)));
    frame.append(fitWord(decodeRegister(row.idText)));
    frame.append(fitWord(decodeRegister(row.maskText)));
    frame.append(QByteArray::fromHex("0000"));
    return frame;
}

bool parseFilterReply(const QByteArray& reply, int* bank, FilterRow* row) {
    if (reply.size() < kReplySize) return false;
    const int number = static_cast<quint8>(reply.at(3));
    if (number >= kBankCount) return false;
    const quint8 flags = static_cast<quint8>(reply.at(4));
    const quint8 mode = static_cast<quint8>(reply.at(5));
    *bank = number;
    row->inUse = (flags & 0x80) != 0;
    row->workMode = (mode & 0x10) ? 1 : 0;
    row->bitWidth = (mode & 0x01) ? 1 : 0;
    row->idText = registerText(reply.mid(6, kWordSize));
    row->maskText = registerText(reply.mid(10, kWordSize));
    return true;
}

QString registerText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' '));
}

QString dataListEntry(const FilterRow& row) {
    // A comma in a register text would split it into two fields when read
    // back; a blank decodes to the same bytes.
    const auto field = [](QString text) { return text.replace(QLatin1Char(','), QLatin1Char(' ')); };
    return QStringList{QString::number(row.inUse ? 1 : 0), QString::number(row.workMode),
                       QString::number(row.bitWidth), field(row.idText), field(row.maskText)}
        .join(QStringLiteral(", "));
}

bool parseDataListEntry(const QString& entry, FilterRow* row) {
    const QStringList parts = entry.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (parts.size() < 5) return false;
    // A part that is not a number reads as 0, as toInt() gives it.
    row->inUse = parts.at(0).trimmed().toInt() == 1;
    row->workMode = parts.at(1).trimmed().toInt();
    row->bitWidth = parts.at(2).trimmed().toInt();
    row->idText = parts.at(3);
    row->maskText = parts.at(4);
    return true;
}

}  // namespace CanCodec
