#include "CanFrames.h"

#include <algorithm>

#include "CanWordText.h"
#include "Protocol.h"

namespace CanCodec {

namespace {

constexpr quint8 kInUseFlag = 0x80;
constexpr quint8 kChannelBits = 0x0F;
constexpr quint8 kListModeBit = 0x10;
constexpr quint8 kWideBit = 0x01;

}  // namespace

QByteArray baudRateFrame(int channalId, const BitTimingText& bitTimingText) {
    QByteArray payload(1, '\0');
    payload.append(static_cast<char>(channalId & 0xFF));
    payload.append(bitTimingText.frameBytes().data(), kWordSize);
    return Protocol::frame(Protocol::Command::SetCanBaudRate, payload);
}

QByteArray baudRateFrame(const CanChannelValues& channel) {
    return baudRateFrame(channel.channalId, channel.bitTimingText);
}

quint8 flagsByte(bool inUse, int channalId) {
    quint8 flags = static_cast<quint8>(channalId & kChannelBits);
    if (inUse) flags |= kInUseFlag;
    return flags;
}

quint8 modeByte(int workMode, int bitWidth) {
    quint8 mode = 0;
    if (workMode != 0) mode |= kListModeBit;
    if (bitWidth != 0) mode |= kWideBit;
    return mode;
}

QByteArray filterFrame(int bank, int channalId, const FilterRow& row) {
    // Built on the stack: a Write, a comparison and every fuzz input make
    // fourteen of these.
    char payload[3 + 2 * kWordSize];
    payload[0] = static_cast<char>(bank & 0xFF);
    payload[1] = static_cast<char>(flagsByte(row.inUse, channalId));
    payload[2] = static_cast<char>(modeByte(row.workMode, row.bitWidth));
    std::copy(row.idText.frameBytes().cbegin(), row.idText.frameBytes().cend(), payload + 3);
    std::copy(row.maskText.frameBytes().cbegin(), row.maskText.frameBytes().cend(), payload + 3 + kWordSize);
    return Protocol::frame(Protocol::Command::SetCanFilter, QByteArray::fromRawData(payload, sizeof payload));
}

QList<QByteArray> filterFrames(const CanChannelValues& channel) {
    QList<QByteArray> frames;
    frames.reserve(kFilterBankCount);
    for (int bank = 0; bank < kFilterBankCount; ++bank)
        frames.append(filterFrame(bank, channel.channalId, channel.banks[size_t(bank)]));
    return frames;
}

bool parseFilterReply(const QByteArray& reply, int* bank, FilterRow* row) {
    namespace At = Protocol::Reply;
    if (reply.size() < At::FilterEnd) return false;
    const int number = static_cast<quint8>(reply.at(At::FilterBank));
    if (number >= kFilterBankCount) return false;
    const quint8 flags = static_cast<quint8>(reply.at(At::FilterFlags));
    const quint8 mode = static_cast<quint8>(reply.at(At::FilterMode));
    *bank = number;
    row->inUse = (flags & kInUseFlag) != 0;
    row->workMode = (mode & kListModeBit) ? 1 : 0;
    row->bitWidth = (mode & kWideBit) ? 1 : 0;
    row->idText = registerText(reply.mid(At::FilterId, kWordSize));
    row->maskText = registerText(reply.mid(At::FilterMask, kWordSize));
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

}  // namespace CanCodec
