#pragma once

#include <array>

#include <QByteArray>

namespace sim {

// What the repeater reports about itself.
struct Identity {
    unsigned char hardwareType = 4;
    QByteArray cardNumber = "TV2026000417";  // up to 12 bytes are sent
    unsigned char hardwareMajor = 1;
    unsigned char hardwareMinor = 5;
    unsigned char firmwareMajor = 2;
    unsigned char firmwareMinor = 10;
};

struct FilterBank {
    unsigned char flags = 0;  // bit 7 in use, bits 3..0 channel
    unsigned char mode = 0;   // bit 4 list mode, bit 0 32-bit
    QByteArray id = QByteArray(4, '\0');
    QByteArray mask = QByteArray(4, '\0');
};

struct CanChannel {
    QByteArray bitTiming = QByteArray(4, '\0');  // most significant byte first
    std::array<FilterBank, 14> banks;
};

constexpr int CanChannelCount = 3;
constexpr int FiberChannelCount = 4;
constexpr int RouteChannelCount = 6;

// The parameters the repeater keeps.
struct Parameters {
    std::array<CanChannel, CanChannelCount> can;  // can[0] is channel ID 1
    std::array<unsigned char, FiberChannelCount> fiber{};
    // Row bytes in the order CAN1, CAN2, Fiber1 .. Fiber4.
    std::array<unsigned char, RouteChannelCount> route{};
    int resetCount = 0;  // reset commands accepted

    static Parameters defaults();
};

// The device's command handling, apart from USB timing and faults: one
// 17-byte output report in, one 16-byte input report out. Written from the
// device's side on purpose, with its own codes, so that it does not share a
// mistake with the program's catalogue.
class Firmware {
public:
    Identity identity;
    Parameters parameters = Parameters::defaults();

    // The reply to one output report (report number first), or an empty
    // array when the report is not a frame and the device stays silent.
    QByteArray answer(const QByteArray& report);
    // The status a correct reply to `code` carries.
    static unsigned char normalStatus(unsigned char code);
    // Whether `reply` acknowledges a reset that `report` asked for: the
    // repeater then restarts, holding what it was sent.
    static bool acknowledgesReset(const QByteArray& report, const QByteArray& reply);

private:
    // Carries out the command of frame `f` and fills the reply's fields;
    // returns the reply's status.
    unsigned char apply(unsigned char code, const QByteArray& f, QByteArray& reply);
    unsigned char setCanBaudRate(const QByteArray& f);
    unsigned char setCanFilter(const QByteArray& f);
    void queryCanBaudRate(const QByteArray& f, QByteArray& reply) const;
    void queryCanFilter(const QByteArray& f, QByteArray& reply) const;
};

}  // namespace sim
