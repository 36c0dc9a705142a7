#include "CanCodec.h"

#include <algorithm>
#include <array>

#include <QCoreApplication>
#include <QJsonArray>
#include <QRegularExpression>
#include <QStringBuilder>
#include <QStringList>

#include "Protocol.h"

namespace CanCodec {

namespace {

struct BaudRateEntry {
    const char* label;
    const char* word;
};

const BaudRateEntry kBaudRates[kBaudRateCount] = {
    {"5K", "00450257"},
    {"10K", "001C00E0"},
    {"20K", "000500E0"},
    {"40K", "00780031"},
    {"50K", "0067002C"},
    {"80K", "004B0018"},
    {"100K", "0012003B"},
    {"125K", "0012002F"},
    {"200K", "0027000E"},
    {"250K", "00120017"},
    {"400K", "00160008"},
    {"500K", "0012000B"},
    {"666K", "00240005"},
    {"800K", "00240004"},
    {"1000K", "00120005"},
    {QT_TRANSLATE_NOOP("ChannalWidget", "自适应"), "00000000"},
    {QT_TRANSLATE_NOOP("ChannalWidget", "自定义"), "FFFFFFFF"},
};

// The table's words as bytes, decoded once: every reply and file looks
// its word up here.
const std::array<QByteArray, kBaudRateCount>& tableWords() {
    static const std::array<QByteArray, kBaudRateCount> words = [] {
        std::array<QByteArray, kBaudRateCount> decoded;
        for (int i = 0; i < kBaudRateCount; ++i) decoded[size_t(i)] = QByteArray::fromHex(kBaudRates[i].word);
        return decoded;
    }();
    return words;
}

int hexDigitValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// fitWord(decodeRegister(text)) written into `out` without building either:
// the last four bytes of the text's hex digits, zeros in front.
void putRegister(const QString& text, char* out) {
    std::fill(out, out + kWordSize, '\0');
    int byte = kWordSize;
    bool lowNibble = true;
    const QChar* chars = text.constData();
    for (int i = text.size() - 1; i >= 0 && (byte > 0 || !lowNibble); --i) {
        const int value = hexDigitValue(chars[i]);
        if (value < 0) continue;
        if (lowNibble) {
            out[--byte] = static_cast<char>(value);
        } else {
            out[byte] = static_cast<char>(out[byte] | (value << 4));
        }
        lowNibble = !lowNibble;
    }
}

const QString kChannalId = QStringLiteral("ChannalID");
const QString kBaudRate = QStringLiteral("BaudRate");
const QString kDataList = QStringLiteral("DataList");

}  // namespace

const char* baudRateLabel(int index) {
    return index >= 0 && index < kBaudRateCount ? kBaudRates[index].label : "";
}

QByteArray baudRateWord(int index) {
    return index >= 0 && index < kBaudRateCount ? tableWords()[size_t(index)] : QByteArray();
}

int baudRateIndexOf(const QByteArray& word) {
    for (int i = 0; i < kBaudRateCount; ++i)
        if (tableWords()[size_t(i)] == word) return i;
    return -1;
}

void selectBaudRate(CanChannelValues& channel, int index) {
    channel.baudRateIndex = index;
    channel.bitTimingText = tableWordText(baudRateWord(index));
}

void applyWord(CanChannelValues& channel, const QByteArray& word) {
    const int index = baudRateIndexOf(word);
    if (index >= 0) {
        // Also where "自定义" was current with another word typed or read
        // before: the field shows the word that came in (FF FF FF FF).
        selectBaudRate(channel, index);
        return;
    }
    channel.baudRateIndex = kCustomIndex;
    channel.bitTimingText = customWordText(word);
}

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

QString wordTextRule() {
    return QCoreApplication::translate("BitTiming", "8个十六进制数字（数字之间可有空格和逗号，可带0x）");
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

bool canSendBitTimingText(const QString& text) {
    return isWordText(text) && BitTiming::decode(bitTimingWord(text)).strayBits == 0;
}

QString tableWordText(const QByteArray& word) {
    return QStringLiteral("0x") + QString::fromLatin1(word.toHex().toUpper());
}

QString customWordText(const QByteArray& word) {
    return QStringLiteral("0x") + QString::fromLatin1(word.toHex());
}

QByteArray baudRateFrame(int channalId, const QString& bitTimingText) {
    QByteArray payload(1, '\0');
    payload.append(static_cast<char>(channalId & 0xFF));
    payload.append(fitWord(decodeBitTiming(bitTimingText)));
    return Protocol::frame(Protocol::Command::SetCanBaudRate, payload);
}

QByteArray baudRateFrame(const CanChannelValues& channel) {
    return baudRateFrame(channel.channalId, channel.bitTimingText);
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
    // Built on the stack: a Write, a comparison and every fuzz input make
    // fourteen of these.
    char payload[3 + 2 * kWordSize];
    payload[0] = static_cast<char>(bank & 0xFF);
    payload[1] = static_cast<char>(flagsByte(row.inUse, channalId));
    payload[2] = static_cast<char>(modeByte(row.workMode, row.bitWidth));
    putRegister(row.idText, payload + 3);
    putRegister(row.maskText, payload + 3 + kWordSize);
    return Protocol::frame(Protocol::Command::SetCanFilter, QByteArray::fromRawData(payload, sizeof payload));
}

QList<QByteArray> filterFrames(const CanChannelValues& channel) {
    QList<QByteArray> frames;
    frames.reserve(kBankCount);
    for (int bank = 0; bank < kBankCount; ++bank)
        frames.append(filterFrame(bank, channel.channalId, channel.banks[size_t(bank)]));
    return frames;
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

void applyFilterReplies(CanChannelValues& channel, const QList<QByteArray>& replies) {
    for (const QByteArray& reply : replies) {
        int bank = 0;
        FilterRow row;
        if (!parseFilterReply(reply, &bank, &row)) return;
        channel.banks[size_t(bank)] = row;
    }
}

QString registerText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' '));
}

QString dataListEntry(const FilterRow& row) {
    // A comma in a register text would split it into two fields when read
    // back; a blank decodes to the same bytes.
    const auto field = [](const QString& text) {
        return text.contains(QLatin1Char(',')) ? QString(text).replace(QLatin1Char(','), QLatin1Char(' ')) : text;
    };
    const QLatin1String separator(", ");
    return QString::number(row.inUse ? 1 : 0) % separator % QString::number(row.workMode) % separator %
           QString::number(row.bitWidth) % separator % field(row.idText) % separator % field(row.maskText);
}

bool parseDataListEntry(const QString& entry, FilterRow* row) {
    const QVector<QStringRef> parts = entry.splitRef(QLatin1Char(','), Qt::SkipEmptyParts);
    if (parts.size() < 5) return false;
    // A part that is not a number reads as 0, as toInt() gives it.
    row->inUse = parts.at(0).trimmed().toInt() == 1;
    row->workMode = parts.at(1).trimmed().toInt();
    row->bitWidth = parts.at(2).trimmed().toInt();
    row->idText = parts.at(3).toString();
    row->maskText = parts.at(4).toString();
    return true;
}

QJsonObject toJson(const CanChannelValues& channel) {
    QJsonArray dataList;
    for (const FilterRow& row : channel.banks) dataList.append(dataListEntry(row));
    QJsonObject object;
    object.insert(kChannalId, channel.channalId);
    object.insert(kBaudRate, channel.bitTimingText);
    object.insert(kDataList, dataList);
    return object;
}

void applyJson(CanChannelValues& channel, const QJsonObject& object) {
    applyWord(channel, decodeBitTiming(object.value(kBaudRate).toString()));

    // Rows without a usable element keep what they hold.
    const QJsonArray dataList = object.value(kDataList).toArray();
    const int rows = qMin(dataList.size(), kBankCount);
    for (int i = 0; i < rows; ++i) {
        FilterRow read;
        if (!parseDataListEntry(dataList.at(i).toString(), &read)) continue;
        FilterRow& row = channel.banks[size_t(i)];
        row.inUse = read.inUse;
        // Only indexes 0 and 1 exist; other numbers leave the choice as it is.
        if (read.workMode == 0 || read.workMode == 1) row.workMode = read.workMode;
        if (read.bitWidth == 0 || read.bitWidth == 1) row.bitWidth = read.bitWidth;
        row.idText = read.idText;
        row.maskText = read.maskText;
    }
}

QVector<InvalidField> invalidFields(const CanChannelValues& channel) {
    QVector<InvalidField> fields;
    if (!isWordText(channel.bitTimingText)) {
        fields.append({InvalidField::BaudRate, -1, -1, InvalidField::NotAWord});
    } else if (BitTiming::decode(bitTimingWord(channel.bitTimingText)).strayBits != 0) {
        fields.append({InvalidField::BaudRate, -1, -1, InvalidField::StrayBits});
    }
    for (int row = 0; row < kBankCount; ++row) {
        const FilterRow& bank = channel.banks[size_t(row)];
        if (!isWordText(bank.idText)) fields.append({InvalidField::Register, row, kColumnId});
        if (!isWordText(bank.maskText)) fields.append({InvalidField::Register, row, kColumnMask});
    }
    return fields;
}

QVector<BitTiming::Problem> testModes(const CanChannelValues& channel) {
    QVector<BitTiming::Problem> modes;
    if (!isWordText(channel.bitTimingText)) return modes;
    const BitTiming::Decoded decoded = BitTiming::decode(bitTimingWord(channel.bitTimingText));
    if (decoded.strayBits != 0) return modes;  // refused anyway
    for (BitTiming::Problem problem : decoded.problems)
        if (problem == BitTiming::Problem::LoopBack || problem == BitTiming::Problem::Silent) modes.append(problem);
    return modes;
}

}  // namespace CanCodec
