// The CAN channel's replies as the Read hands them to the channel's values:
// the bit-timing word of the baud-rate reply and the list of filter replies.
// Input: channel ID selector, word length selector, the word, then filter
// replies, each a length byte and that many bytes.
#include <array>

#include "CanCodec.h"
#include "FuzzSupport.h"

namespace {

constexpr int kFrameSize = 17;
constexpr int kBanks = 14;
constexpr int kMaxReplies = 32;
constexpr int kChannals = 3;

// What one bank must send, as the replies describe it.
struct Bank {
    bool inUse = false;
    uint8_t mode = 0x01;
    QByteArray registers = QByteArray(8, '\0');
};

QByteArray expectedFilterFrame(int bank, int channalId, const Bank& b) {
    static const QByteArray header = QByteArray::fromHex("0012240b");
    QByteArray frame = header;
    frame.append(char(bank));
    frame.append(char((b.inUse ? 0x80 : 0x00) | (channalId & 0x0F)));
    frame.append(char(b.mode));
    frame.append(b.registers);
    frame.append(QByteArray(2, '\0'));
    return frame;
}

void checkBaudRateFrame(const QByteArray& frame, int channalId) {
    FUZZ_CHECK(frame.size() == kFrameSize);
    static const QByteArray header = QByteArray::fromHex("0012230600");
    FUZZ_CHECK(frame.startsWith(header));
    FUZZ_CHECK(uint8_t(frame.at(5)) == (channalId & 0xFF));
    FUZZ_CHECK(frame.mid(10) == QByteArray(7, '\0'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    // The CAN page makes channels 1 ... 3.
    const int channalId = 1 + in.byte() % kChannals;
    // The Read passes four bytes; a file can bring any number.
    const QByteArray word = in.upTo(in.byte() % 9);
    QList<QByteArray> replies;
    while (!in.atEnd() && replies.size() < kMaxReplies) replies.append(in.upTo(in.byte() % 20));

    const CanChannelValues defaults = CanChannelValues::defaults(channalId);
    CanChannelValues channel = defaults;
    CanCodec::applyWord(channel, word);
    CanCodec::applyFilterReplies(channel, replies);

    // The banks the replies name, in order, up to the first one that
    // cannot be a filter reply.
    std::array<Bank, kBanks> banks{};
    banks[0].inUse = true;
    for (const QByteArray& reply : qAsConst(replies)) {
        if (reply.size() < 14 || uint8_t(reply.at(3)) >= kBanks) break;
        Bank& b = banks[uint8_t(reply.at(3))];
        b.inUse = (uint8_t(reply.at(4)) & 0x80) != 0;
        b.mode = uint8_t(reply.at(5)) & 0x11;
        b.registers = reply.mid(6, 8);
    }

    const QByteArray baudFrame = CanCodec::baudRateRequest(channel).frame();
    checkBaudRateFrame(baudFrame, channalId);
    if (word.size() == 4) FUZZ_CHECK(baudFrame.mid(6, 4) == word);
    // A word of the table selects its entry; any other one "自定义".
    const int entry = CanCodec::baudRateIndexOf(word);
    FUZZ_CHECK(channel.baudRateIndex == (entry >= 0 ? entry : CanCodec::kCustomIndex));

    const QList<QByteArray> frames = CanCodec::filterFrames(channel);
    FUZZ_CHECK(frames.size() == kBanks);
    for (int r = 0; r < kBanks; ++r)
        FUZZ_CHECK(frames.at(r) == expectedFilterFrame(r, channalId, banks[size_t(r)]));

    // Only the word can keep the channel from being written as it shows:
    // one of other than four bytes, with bits outside the fields, an SJW
    // longer than a time segment, or a rate above CAN's 1 Mbit/s ("自适应",
    // all zeros, has no rate of its own).
    const QVector<InvalidField> invalid = CanCodec::invalidFields(channel);
    const BitTiming::Decoded decoded = BitTiming::decode(word);
    const BitTiming::Fields& f = decoded.fields;
    const bool sjwFits = f.sjw <= f.segment1 && f.sjw <= f.segment2;
    const bool rateFits =
        decoded.adaptive || 36000000.0 / (f.prescaler * (1 + f.segment1 + f.segment2)) <= 1000000.0;
    if (word.size() == 4 && decoded.strayBits == 0 && sjwFits && rateFits) {
        FUZZ_CHECK(invalid.isEmpty());
    } else {
        FUZZ_CHECK(invalid.size() == 1 && invalid.first().kind == InvalidField::BaudRate);
    }

    // The channel object restores what the channel sends, on the defaults.
    const QJsonObject object = CanCodec::toJson(channel);
    FUZZ_CHECK(object.value(QStringLiteral("ChannalID")).toInt() == channalId);
    CanChannelValues restored = defaults;
    CanCodec::applyJson(restored, object);
    FUZZ_CHECK(CanCodec::baudRateRequest(restored).frame() == baudFrame);
    FUZZ_CHECK(CanCodec::filterFrames(restored) == frames);
    FUZZ_CHECK(CanCodec::invalidFields(restored) == invalid);
    FUZZ_CHECK(restored.baudRateIndex == channel.baudRateIndex);
    return 0;
}
