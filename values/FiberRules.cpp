#include "FiberRules.h"

namespace FiberRules {

QString rateText(int code) {
    return Protocol::fiberRateText(code);
}

int entryCode(int code) {
    return code >= 1 && code <= kRateCount ? code : FiberValues::kNoEntry;
}

void setCode(FiberValues& fiber, int fiberCount, int channel, int code) {
    if (channel < 0 || channel >= qMin(fiberCount, kFiberChannelMax)) return;
    fiber.codes[size_t(channel)] = entryCode(code);
}

Protocol::SetFiberBaudRate request(const FiberValues& fiber, int fiberCount) {
    Protocol::SetFiberBaudRate request;
    for (int i = 0; i < qMin(fiberCount, kFiberChannelMax); ++i)
        request.codes[size_t(i)] = quint8(entryCode(fiber.codes[size_t(i)]));
    return request;
}

void applyReply(FiberValues& fiber, int fiberCount, const Protocol::FiberCodes& codes) {
    for (int i = 0; i < qMin(fiberCount, kFiberChannelMax); ++i)
        setCode(fiber, fiberCount, i, codes[size_t(i)]);
}

QString codeText(int code) {
    if (entryCode(code) == FiberValues::kNoEntry) return QString();
    return QString::fromLatin1(QByteArray(1, char(code)).toHex());
}

int parseCodeText(const QString& text) {
    return text.toInt(nullptr, 16);
}

}  // namespace FiberRules
