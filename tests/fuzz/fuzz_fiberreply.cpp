// The fiber reply as the Read hands it to the fiber values: one baud-rate
// code per fiber channel of the device, then codes set channel by channel
// as Open does. Input: the fiber count, the reply bytes from byte 3 on, one
// per channel, then pairs of channel and code.
#include "FiberRules.h"
#include "FuzzSupport.h"
#include "Protocol.h"

namespace {
constexpr int kFrameSize = 17;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // Counts beyond the device's range come only from a broken caller, but
    // the rules must still hold.
    const int count = int(int8_t(data[0]));
    const int shown = qBound(0, count, kFiberChannelMax);
    QByteArray reply(16, '\0');
    for (int i = 0; i < shown && size_t(1 + i) < size; ++i) reply[3 + i] = char(data[1 + i]);

    FiberValues fiber = FiberValues::defaults();
    FiberRules::applyReply(fiber, count, Protocol::QueryFiberBaudRate::parse(reply).values);
    std::array<int, kFiberChannelMax> codes;
    codes.fill(FiberRules::kDefaultCode);
    for (int i = 0; i < shown; ++i) codes[size_t(i)] = quint8(reply.at(3 + i));
    // Channels the device lacks, and those beyond the four, stay as they were.
    for (size_t k = 1 + size_t(shown); k + 1 < size && k < 16; k += 2) {
        const int channel = int(int8_t(data[k]));
        FiberRules::setCode(fiber, count, channel, data[k + 1]);
        if (channel >= 0 && channel < shown) codes[size_t(channel)] = data[k + 1];
    }

    for (int i = 0; i < kFiberChannelMax; ++i) {
        const int expected =
            codes[size_t(i)] >= 1 && codes[size_t(i)] <= 12 ? codes[size_t(i)] : FiberValues::kNoEntry;
        FUZZ_CHECK(fiber.codes[size_t(i)] == expected);
        FUZZ_CHECK(FiberRules::codeText(expected).size() == (expected ? 2 : 0));
        FUZZ_CHECK(FiberRules::parseCodeText(FiberRules::codeText(expected)) == expected);
    }

    // The Write's frame takes one byte per channel, zero for the absent ones
    // and for those without a code.
    const QByteArray frame = FiberRules::request(fiber, count).frame();
    FUZZ_CHECK(frame.size() == kFrameSize);
    FUZZ_CHECK(frame.startsWith(QByteArray::fromHex("0012250500")));
    for (int i = 0; i < kFiberChannelMax; ++i)
        FUZZ_CHECK(uint8_t(frame.at(5 + i)) == (i < shown ? fiber.codes[size_t(i)] : 0));
    FUZZ_CHECK(frame.mid(9) == QByteArray(8, '\0'));
    return 0;
}
