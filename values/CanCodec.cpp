#include "CanCodec.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <QCoreApplication>

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
    {QT_TRANSLATE_NOOP("CanCodec", "自适应"), "00000000"},
    {QT_TRANSLATE_NOOP("CanCodec", "自定义"), "FFFFFFFF"},
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

// The four bytes a frame carries of a word or register text.
Protocol::Word frameWord(const WordText& text) {
    // memcpy: GCC 12's optimised builds take std::copy here for an overflow.
    static_assert(sizeof(Protocol::Word) == sizeof(text.frameBytes()), "a word is four bytes in both");
    Protocol::Word word{};
    std::memcpy(word.data(), text.frameBytes().data(), word.size());
    return word;
}

}  // namespace

QString baudRateText(int index) {
    if (index < 0 || index >= kBaudRateCount) return QString();
    if (index == kAdaptiveIndex || index == kCustomIndex)
        return QCoreApplication::translate("CanCodec", kBaudRates[index].label);
    return QString::fromLatin1(kBaudRates[index].label);
}

// In the channel page's context, where the catalogues have always kept them.
QString workModeText(int workMode) {
    return workMode == 0 ? QCoreApplication::translate("ChannalWidget", "掩码模式")
                         : QCoreApplication::translate("ChannalWidget", "列表模式");
}

QString bitWidthText(int bitWidth) {
    return bitWidth == 0 ? QStringLiteral("16") : QStringLiteral("32");
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

Protocol::SetCanBaudRate baudRateRequest(int channelId, const BitTimingText& bitTimingText) {
    return {channelId, frameWord(bitTimingText)};
}

Protocol::SetCanBaudRate baudRateRequest(const CanChannelValues& channel) {
    return baudRateRequest(channel.channelId, channel.bitTimingText);
}

Protocol::SetCanFilter filterRequest(int bank, int channelId, const FilterRow& row) {
    return {channelId,
            {bank, row.inUse, row.workMode != 0, row.bitWidth != 0, frameWord(row.idText),
             frameWord(row.maskText)}};
}

QList<QByteArray> filterFrames(const CanChannelValues& channel) {
    QList<QByteArray> frames;
    frames.reserve(kBankCount);
    for (int bank = 0; bank < kBankCount; ++bank)
        frames.append(filterRequest(bank, channel.channelId, channel.banks[size_t(bank)]).frame());
    return frames;
}

FilterRow filterRow(const Protocol::FilterBank& bank) {
    FilterRow row;
    row.inUse = bank.inUse;
    row.workMode = bank.listMode ? 1 : 0;
    row.bitWidth = bank.wide ? 1 : 0;
    row.idText = registerText(Protocol::wordBytes(bank.id));
    row.maskText = registerText(Protocol::wordBytes(bank.mask));
    return row;
}

void applyFilterReplies(CanChannelValues& channel, const QList<QByteArray>& replies) {
    for (const QByteArray& reply : replies) {
        const Protocol::Parsed<Protocol::FilterBank> parsed = Protocol::QueryCanFilter::parse(reply);
        if (!parsed.ok()) return;
        channel.banks[size_t(parsed.values.bank)] = filterRow(parsed.values);
    }
}

QVector<InvalidField> invalidFields(const CanChannelValues& channel) {
    QVector<InvalidField> fields;
    const WordProblem problem = bitTimingProblem(channel.bitTimingText);
    if (problem != WordProblem::None)
        fields.append({InvalidField::BaudRate, -1, FilterRegister::Id, problem});
    for (int row = 0; row < kBankCount; ++row) {
        const FilterRow& bank = channel.banks[size_t(row)];
        if (!bank.idText.isWord()) fields.append({InvalidField::Register, row, FilterRegister::Id});
        if (!bank.maskText.isWord()) fields.append({InvalidField::Register, row, FilterRegister::Mask});
    }
    return fields;
}

QVector<BitTiming::Problem> testModes(const CanChannelValues& channel) {
    QVector<BitTiming::Problem> modes;
    if (!canSendBitTimingText(channel.bitTimingText)) return modes;  // refused anyway
    const BitTiming::Decoded decoded = BitTiming::decode(channel.bitTimingText.word());
    for (BitTiming::Problem problem : decoded.problems)
        if (problem == BitTiming::Problem::LoopBack || problem == BitTiming::Problem::Silent)
            modes.append(problem);
    return modes;
}

}  // namespace CanCodec
