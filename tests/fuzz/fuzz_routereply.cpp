// The route reply as the Read hands it to the route values of a hardware
// type, then ON/OFF switches as a click on the page works them. Input: four
// bytes of hardware type (little-endian; only 1 ... 4 are known), sixteen
// reply bytes, then ON/OFF clicks, one row number (channel + 1) per byte.
#include <cstring>

#include "FuzzSupport.h"
#include "Protocol.h"
#include "RouteRules.h"

namespace {

constexpr int kFrameSize = 17;
constexpr int kReplySize = 16;
constexpr int kMaxClicks = 16;

struct Channel {
    int bit;
    int frameByte;
    int replyByte;
    unsigned types;
};
// CAN1, CAN2, Fiber1 ... Fiber4.
const Channel kChannels[6] = {{7, 5, 4, 0x1e},  {6, 6, 5, 0x1e},   {3, 9, 8, 0x1c},
                              {2, 10, 9, 0x18}, {1, 11, 10, 0x10}, {0, 12, 11, 0x10}};

bool present(int type, int channel) {
    return type >= 1 && type <= 4 && (kChannels[channel].types & (1u << type)) != 0;
}

uint8_t presentMask(int type) {
    uint8_t mask = 0;
    for (int c = 0; c < 6; ++c)
        if (present(type, c)) mask |= uint8_t(1u << kChannels[c].bit);
    return mask;
}

void checkFrame(const QByteArray& frame, int type) {
    FUZZ_CHECK(frame.size() == kFrameSize);
    FUZZ_CHECK(frame.startsWith(QByteArray::fromHex("0012270900")));
    FUZZ_CHECK(frame.at(7) == 0 && frame.at(8) == 0);
    FUZZ_CHECK(frame.mid(13) == QByteArray(4, '\0'));
    for (int r = 0; r < 6; ++r) {
        const uint8_t value = uint8_t(frame.at(kChannels[r].frameByte));
        if (!present(type, r)) {
            FUZZ_CHECK(value == 0);
            continue;
        }
        // Routes only to channels the device has, never to itself.
        FUZZ_CHECK((value & ~presentMask(type)) == 0);
        FUZZ_CHECK((value & (1u << kChannels[r].bit)) == 0);
    }
}

void checkJson(const QJsonArray& route) {
    FUZZ_CHECK(route.size() == 6);
    for (int r = 0; r < 6; ++r) {
        const QString text = route.at(r).toString();
        FUZZ_CHECK(text.size() == 12);
        for (int c = 0; c < 6; ++c) {
            FUZZ_CHECK(text.at(2 * c) == QLatin1Char('0') || text.at(2 * c) == QLatin1Char('1'));
            FUZZ_CHECK(text.at(2 * c + 1) == QLatin1Char(' '));
        }
        FUZZ_CHECK(text.at(2 * r) == QLatin1Char('0'));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t type = 0;
    std::memcpy(&type, data, qMin<size_t>(size, sizeof type));
    // The read always hands over the whole 16-byte reply; missing input bytes are zero.
    unsigned char reply[kReplySize] = {};
    if (size > sizeof type)
        std::memcpy(reply, data + sizeof type, qMin<size_t>(size - sizeof type, kReplySize));
    const size_t clicksAt = sizeof type + kReplySize;

    const Protocol::RouteRows rows =
        Protocol::QueryRoute::parse(QByteArray::fromRawData(reinterpret_cast<const char*>(reply), kReplySize))
            .values;
    RouteValues route = RouteValues::defaults();
    RouteRules::applyReply(route, type, rows);

    // Every channel is on by default, so the frame carries the reply's
    // routes between present channels.
    const QByteArray frame = RouteRules::request(route, type).frame();
    checkFrame(frame, type);
    if (type < 1 || type > 4) FUZZ_CHECK(frame == QByteArray::fromHex("0012270900000000000000000000000000"));
    for (int r = 0; r < 6; ++r) {
        if (!present(type, r)) continue;
        const uint8_t expected =
            reply[kChannels[r].replyByte] & presentMask(type) & uint8_t(~(1u << kChannels[r].bit));
        FUZZ_CHECK(uint8_t(frame.at(kChannels[r].frameByte)) == expected);
    }
    const QJsonArray json = RouteRules::toJson(route);
    checkJson(json);

    // The file form restores the same routes on the defaults.
    RouteValues other = RouteValues::defaults();
    FUZZ_CHECK(RouteRules::applyJson(other, type, json));
    FUZZ_CHECK(RouteRules::request(other, type).frame() == frame);

    // Switching channels off and on: a row byte outside 1 ... 6 switches nothing.
    for (size_t k = clicksAt; k < size && k < clicksAt + kMaxClicks; ++k) {
        const int channel = int(int8_t(data[k])) - 1;
        const bool valid = channel >= 0 && channel < 6;
        const bool on = valid && !route.on[size_t(channel)];
        const RouteValues before = route;
        RouteRules::switchChannel(route, type, channel, on);
        if (!valid) FUZZ_CHECK(route == before);
        const QByteArray after = RouteRules::request(route, type).frame();
        checkFrame(after, type);
        checkJson(RouteRules::toJson(route));
        // A channel switched off neither sends nor receives.
        if (valid && !on && present(type, channel)) {
            FUZZ_CHECK(after.at(kChannels[channel].frameByte) == 0);
            for (int r = 0; r < 6; ++r)
                FUZZ_CHECK((uint8_t(after.at(kChannels[r].frameByte)) & (1u << kChannels[channel].bit)) == 0);
        }
    }
    RouteRules::applyReply(route, type, rows);
    checkFrame(RouteRules::request(route, type).frame(), type);
    RouteRules::applyDefault(route, type);
    checkFrame(RouteRules::request(route, type).frame(), type);
    checkJson(RouteRules::toJson(route));
    return 0;
}
