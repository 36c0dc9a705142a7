#include "FiberRules.h"

#include "Protocol.h"

namespace FiberRules {

namespace {
const char* const kRates[kRateCount] = {"5K",   "10K",  "20K",  "40K",  "50K",   "100K",
                                        "125K", "250K", "500K", "920K", "1380K", "2250K"};
}  // namespace

QString rateText(int code) {
    return entryCode(code) == FiberValues::kNoEntry ? QString() : QString::fromLatin1(kRates[code - 1]);
}

int entryCode(int code) {
    return code >= 1 && code <= kRateCount ? code : FiberValues::kNoEntry;
}

void setCode(FiberValues& fiber, int fiberCount, int channel, int code) {
    if (channel < 0 || channel >= qMin(fiberCount, kFiberChannelMax)) return;
    fiber.codes[size_t(channel)] = entryCode(code);
}

QByteArray frame(const FiberValues& fiber, int fiberCount) {
    QByteArray payload(1 + kFiberChannelMax, '\0');
    for (int i = 0; i < qMin(fiberCount, kFiberChannelMax); ++i)
        payload[1 + i] = char(entryCode(fiber.codes[size_t(i)]));
    return Protocol::frame(Protocol::Command::SetFiberBaudRate, payload);
}

void applyReply(FiberValues& fiber, int fiberCount, const QByteArray& reply) {
    const int first = Protocol::Reply::FiberCodes;
    for (int i = 0; i < fiberCount && first + i < reply.size(); ++i)
        setCode(fiber, fiberCount, i, quint8(reply.at(first + i)));
}

QString codeText(int code) {
    if (entryCode(code) == FiberValues::kNoEntry) return QString();
    return QString::fromLatin1(QByteArray(1, char(code)).toHex());
}

int parseCodeText(const QString& text) {
    return text.toInt(nullptr, 16);
}

}  // namespace FiberRules
