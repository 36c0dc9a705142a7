#include "Firmware.h"

namespace sim {

namespace {

constexpr unsigned char kReset = 0x11;
constexpr unsigned char kAccepted = 0x81;
constexpr unsigned char kBaudRateValid = 0x86;
constexpr unsigned char kRejected = 0x80;  // the device's answer to a frame it cannot apply

// Frame bytes of the route rows, CAN1, CAN2, Fiber1 .. Fiber4; the reply
// carries each one position earlier (it has no report number).
constexpr int kRouteFrameBytes[RouteChannelCount] = {5, 6, 9, 10, 11, 12};

unsigned char byteAt(const QByteArray& bytes, int index) {
    return static_cast<unsigned char>(bytes.at(index));
}

void put(QByteArray& bytes, int index, unsigned char value) {
    bytes[index] = static_cast<char>(value);
}

// Exactly `count` bytes at `index`, zero-padded, whatever a test stored.
void putBytes(QByteArray& bytes, int index, const QByteArray& value, int count) {
    for (int i = 0; i < count; ++i) bytes[index + i] = i < value.size() ? value.at(i) : '\0';
}

}  // namespace

Parameters Parameters::defaults() {
    Parameters p;
    for (int c = 0; c < CanChannelCount; ++c) {
        CanChannel& channel = p.can[c];
        channel.bitTiming = QByteArray::fromHex("001C00E0");  // 10K
        for (int b = 0; b < 14; ++b) {
            channel.banks[b].flags = static_cast<unsigned char>((b == 0 ? 0x80 : 0x00) | (c + 1));
            channel.banks[b].mode = 0x01;
        }
    }
    p.fiber.fill(0x0b);                              // 1380K
    p.route = {0x4F, 0x8F, 0xC7, 0xCB, 0xCD, 0xCE};  // every route of a type-4 device
    return p;
}

unsigned char Firmware::normalStatus(unsigned char code) {
    return code == 0xA4 ? kBaudRateValid : kAccepted;
}

bool Firmware::acknowledgesReset(const QByteArray& report, const QByteArray& reply) {
    return report.size() > 2 && byteAt(report, 2) == kReset && reply.size() > 2 &&
           byteAt(reply, 2) == kAccepted;
}

QByteArray Firmware::answer(const QByteArray& report) {
    QByteArray f = report.left(17);
    if (f.size() < 4 || byteAt(f, 1) != 0x12) return QByteArray();
    f.append(QByteArray(17 - f.size(), '\0'));

    const unsigned char code = byteAt(f, 2);
    QByteArray reply(16, '\0');
    put(reply, 0, 0x12);
    put(reply, 1, code);
    put(reply, 2, apply(code, f, reply));
    return reply;
}

unsigned char Firmware::apply(unsigned char code, const QByteArray& f, QByteArray& reply) {
    unsigned char status = normalStatus(code);
    switch (code) {
        case 0x01:
            put(reply, 4, identity.hardwareMinor);
            put(reply, 5, identity.hardwareMajor);
            break;
        case 0x12:
            put(reply, 4, identity.firmwareMinor);
            put(reply, 5, identity.firmwareMajor);
            break;
        case 0x14:
            putBytes(reply, 4, identity.cardNumber, 12);
            break;
        case 0x15:
            put(reply, 4, identity.hardwareType);
            break;
        case kReset:
            ++parameters.resetCount;
            break;
        case 0x23:
            status = setCanBaudRate(f);
            break;
        case 0x24:
            status = setCanFilter(f);
            break;
        case 0x25:
            for (int i = 0; i < FiberChannelCount; ++i) parameters.fiber[i] = byteAt(f, 5 + i);
            break;
        case 0x26:
            for (int i = 0; i < FiberChannelCount; ++i) put(reply, 3 + i, parameters.fiber[i]);
            break;
        case 0x27:
            for (int i = 0; i < RouteChannelCount; ++i) parameters.route[i] = byteAt(f, kRouteFrameBytes[i]);
            break;
        case 0x28:
            for (int i = 0; i < RouteChannelCount; ++i)
                put(reply, kRouteFrameBytes[i] - 1, parameters.route[i]);
            break;
        case 0xA4:
            queryCanBaudRate(f, reply);
            status = byteAt(reply, 2);
            break;
        case 0xA5:
            queryCanFilter(f, reply);
            break;
        default:
            status = kRejected;
            break;
    }
    return status;
}

unsigned char Firmware::setCanBaudRate(const QByteArray& f) {
    const int channel = byteAt(f, 5);
    if (channel < 1 || channel > CanChannelCount) return kRejected;
    parameters.can[channel - 1].bitTiming = f.mid(6, 4);
    return kAccepted;
}

unsigned char Firmware::setCanFilter(const QByteArray& f) {
    const int bank = byteAt(f, 4);
    const unsigned char flags = byteAt(f, 5);
    const int channel = flags & 0x0F;
    if (bank > 13 || channel < 1 || channel > CanChannelCount) return kRejected;
    FilterBank& target = parameters.can[channel - 1].banks[bank];
    target.flags = flags;
    target.mode = byteAt(f, 6);
    target.id = f.mid(7, 4);
    target.mask = f.mid(11, 4);
    return kAccepted;
}

void Firmware::queryCanBaudRate(const QByteArray& f, QByteArray& reply) const {
    const int channel = byteAt(f, 4);
    if (channel < 1 || channel > CanChannelCount) {
        put(reply, 2, kRejected);
        return;
    }
    put(reply, 2, kBaudRateValid);
    putBytes(reply, 5, parameters.can[channel - 1].bitTiming, 4);
}

void Firmware::queryCanFilter(const QByteArray& f, QByteArray& reply) const {
    const int channel = byteAt(f, 4);
    const int bank = byteAt(f, 5);
    put(reply, 3, static_cast<unsigned char>(bank));
    if (bank > 13 || channel < 1 || channel > CanChannelCount) return;
    const FilterBank& source = parameters.can[channel - 1].banks[bank];
    put(reply, 4, source.flags);
    put(reply, 5, source.mode);
    putBytes(reply, 6, source.id, 4);
    putBytes(reply, 10, source.mask, 4);
}

}  // namespace sim
